#include "serialize/IOStreamInputStream.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <streambuf>
#include <string>

namespace {

using Kor::serialize::InputStream;
using Kor::serialize::IOStreamInputStream;

// A source that cannot seek, like a pipe.
class PipeLikeBuffer : public std::streambuf {
public:
    explicit PipeLikeBuffer(std::string data) : mData(std::move(data)) {
        setg(mData.data(), mData.data(), mData.data() + mData.size());
    }

private:
    std::string mData;
};

TEST(IOStreamInputStream, ReadsExactCountsAndFailsOnShortRead) {
    std::istringstream data(std::string("abcdefghijklm", 13));
    IOStreamInputStream stream(&data);
    char buffer[8] = {};

    EXPECT_TRUE(stream.read(buffer, 0));
    EXPECT_EQ(stream.tell(), 0u);
    ASSERT_TRUE(stream.read(buffer, 8));
    EXPECT_EQ(std::string(buffer, 8), "abcdefgh");
    EXPECT_EQ(stream.tell(), 8u);
    EXPECT_TRUE(stream.good());

    // 5 bytes left, 8 asked for.
    EXPECT_FALSE(stream.read(buffer, 8));
    EXPECT_FALSE(stream.good());
    EXPECT_EQ(stream.tell(), UINT64_MAX);
    // Failed: even an empty read reports failure now.
    EXPECT_FALSE(stream.read(buffer, 0));
}

TEST(IOStreamInputStream, ReadOfExactlyTheRestStaysGood) {
    std::istringstream data("abcd");
    IOStreamInputStream stream(&data);
    char buffer[4];
    EXPECT_FALSE(stream.atEnd());
    EXPECT_TRUE(stream.read(buffer, 4));
    EXPECT_TRUE(stream.good());
    EXPECT_TRUE(stream.atEnd());
    // Looking past the end is reaching the end of the data.
    EXPECT_FALSE(stream.good());
}

TEST(IOStreamInputStream, SeekClearsTheFailedState) {
    std::istringstream data("0123456789");
    IOStreamInputStream stream(&data);
    char buffer[16];
    EXPECT_FALSE(stream.read(buffer, 16));
    ASSERT_FALSE(stream.good());

    EXPECT_TRUE(stream.seek(0));
    EXPECT_TRUE(stream.good());
    ASSERT_TRUE(stream.read(buffer, 3));
    EXPECT_EQ(std::string(buffer, 3), "012");

    EXPECT_TRUE(stream.seek(7));
    EXPECT_EQ(stream.tell(), 7u);
    ASSERT_TRUE(stream.read(buffer, 3));
    EXPECT_EQ(std::string(buffer, 3), "789");

    stream.setFailed();
    EXPECT_FALSE(stream.good());
    EXPECT_TRUE(stream.seek(2));
    EXPECT_TRUE(stream.good());
}

TEST(IOStreamInputStream, SeekWithoutABufferStaysFailed) {
    std::istream detached(nullptr);
    IOStreamInputStream stream(&detached);
    EXPECT_FALSE(stream.seek(0));
    EXPECT_FALSE(stream.good());
    char c;
    EXPECT_FALSE(stream.read(&c, 1));
}

TEST(IOStreamInputStream, SkipTellsWhetherThePositionMoved) {
    std::istringstream data("0123456789");
    IOStreamInputStream stream(&data);
    EXPECT_TRUE(stream.skip(4));
    EXPECT_EQ(stream.tell(), 4u);
    EXPECT_FALSE(stream.skip(0));
    // Fewer bytes than asked for are left: it skips them and has moved.
    EXPECT_TRUE(stream.skip(100));
    EXPECT_FALSE(stream.good());

    EXPECT_TRUE(stream.seek(10));
    EXPECT_FALSE(stream.skip(1));
}

TEST(IOStreamInputStream, RemainingLeavesThePositionAndStateAlone) {
    std::istringstream data("0123456789");
    IOStreamInputStream stream(&data);
    EXPECT_EQ(stream.remaining(), 10u);
    char buffer[3];
    ASSERT_TRUE(stream.read(buffer, 3));
    EXPECT_EQ(stream.remaining(), 7u);
    EXPECT_EQ(stream.tell(), 3u);
    ASSERT_TRUE(stream.read(buffer, 3));
    EXPECT_EQ(std::string(buffer, 3), "345");
    EXPECT_TRUE(stream.good());

    stream.setFailed();
    EXPECT_EQ(stream.remaining(), 0u);
}

TEST(IOStreamInputStream, RemainingOfAnUnseekableSourceIsUnknown) {
    PipeLikeBuffer pipe("abc");
    std::istream data(&pipe);
    IOStreamInputStream stream(&data);
    EXPECT_EQ(stream.remaining(), InputStream::kUnknownSize);
    char buffer[3];
    ASSERT_TRUE(stream.read(buffer, 3));
    EXPECT_EQ(std::string(buffer, 3), "abc");
}

}  // namespace
