#include "serialize/FileInputStream.h"

#include "serialize/ReadValue.h"
#include "tests/support/Platform.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

using Kor::serialize::FileInputStream;
using OrvaneTest::TempDir;

TEST(FileInputStream, ReadsTheFileInBinaryMode) {
    TempDir dir;
    // Bytes a text-mode read could alter elsewhere: line ends, a 0x1A, a NUL.
    const std::string bytes("\r\n\x1a\0\xff\n", 6);
    FileInputStream stream(dir.write("data.bin", bytes));
    ASSERT_TRUE(stream.good());
    EXPECT_EQ(stream.remaining(), 6u);
    char buffer[6];
    ASSERT_TRUE(stream.read(buffer, 2));
    // Asking for the size in the middle of buffered reading must not lose the place.
    EXPECT_EQ(stream.remaining(), 4u);
    ASSERT_TRUE(stream.read(buffer + 2, 4));
    EXPECT_EQ(std::string(buffer, 6), bytes);
    EXPECT_TRUE(stream.atEnd());
}

TEST(FileInputStream, SeekAfterAShortReadMakesItGoodAgain) {
    TempDir dir;
    FileInputStream stream(dir.write("short.bin", "12345"));
    std::uint64_t value = 0;
    EXPECT_FALSE(Kor::serialize::readValue(stream, value));
    EXPECT_FALSE(stream.good());
    EXPECT_TRUE(stream.seek(0));
    EXPECT_TRUE(stream.good());
    char first;
    ASSERT_TRUE(stream.read(&first, 1));
    EXPECT_EQ(first, '1');
}

// A missing file, a directory, a FIFO and devices are all "cannot be opened": failed at once,
// and a FIFO without a writer must not block the open.
TEST(FileInputStream, AnythingButARegularFileIsFailedFromTheStart) {
    TempDir dir;
    for (const std::filesystem::path& path : OrvaneTest::notRegularFiles(dir.path())) {
        SCOPED_TRACE(path.string());
        FileInputStream stream(path);
        EXPECT_FALSE(stream.good());
        EXPECT_EQ(stream.remaining(), 0u);
        double value = 7;
        EXPECT_FALSE(Kor::serialize::readValue(stream, value));
        EXPECT_EQ(value, 7);
    }
}

}  // namespace
