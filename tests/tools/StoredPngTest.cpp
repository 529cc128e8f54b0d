// The uncompressed PNG encoder of the Windows build, read back by libpng: the picture comes
// out upright and in its colours at every size, across several stored blocks, and the
// checksums match their published values.
#include "tools/orvane-record/StoredPng.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/PngImage.h"
#include "tests/support/RecordedFrame.h"
#include "tests/support/TempDir.h"

namespace {

using namespace OrvaneRecord;

const uint8_t* bytesOf(const std::string& text) {
    return reinterpret_cast<const uint8_t*>(text.data());
}

TEST(StoredPng, LibpngReadsTheFrameUprightAndInItsColours) {
    OrvaneTest::TempDir dir;
    // 200 x 120 is 72,120 bytes of scanlines: two stored blocks, the second one short.
    for (const auto& [width, height] :
         {std::pair{1u, 1u}, std::pair{7u, 3u}, std::pair{641u, 2u}, std::pair{200u, 120u}}) {
        std::string frame(static_cast<size_t>(width) * height * 3, '\0');
        for (size_t i = 0; i < frame.size(); ++i) {
            frame[i] = static_cast<char>(i * 37 + i / 253);
        }
        const std::vector<uint8_t> png = EncodeStoredPng(width, height, bytesOf(frame));
        const std::string path =
            dir.write(std::to_string(width) + "x" + std::to_string(height) + ".png",
                      std::string(png.begin(), png.end()));
        const OrvaneTest::WindowImage read = OrvaneTest::readPng(path);
        const OrvaneTest::WindowImage expected = OrvaneTest::imageOfRecordedFrame(
            static_cast<int>(width), static_cast<int>(height), frame);
        ASSERT_EQ(read.width, expected.width) << width << " x " << height;
        EXPECT_EQ(read.height, expected.height);
        EXPECT_EQ(read.pixels, expected.pixels) << width << " x " << height;
    }
}

TEST(StoredPng, ChecksumsMatchTheirPublishedValuesAndLongRuns) {
    EXPECT_EQ(Crc32(bytesOf("123456789"), 9), 0xCBF43926u);
    EXPECT_EQ(Crc32(bytesOf("6789"), 4, Crc32(bytesOf("12345"), 5)), 0xCBF43926u);
    EXPECT_EQ(Adler32(bytesOf("Wikipedia"), 9), 0x11E60398u);
    // All 0xFF bytes overflow 32-bit sums soonest; compare with a sum taken modulo each step.
    const std::vector<uint8_t> ones(100000, 0xFF);
    uint64_t a = 1;
    uint64_t b = 0;
    for (uint8_t byte : ones) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    EXPECT_EQ(Adler32(ones.data(), ones.size()), static_cast<uint32_t>(b << 16 | a));
}

}  // namespace
