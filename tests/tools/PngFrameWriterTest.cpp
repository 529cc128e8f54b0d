// Recorded frames as PNG files: the picture comes out upright and in its colours, and a file
// that cannot be written says why.
#include "tools/orvane-record/PngFrameWriter.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/PngImage.h"
#include "tests/support/RecordedFrame.h"
#include "tests/support/TempDir.h"

namespace {

using namespace OrvaneRecord;

TEST(PngFrameWriter, AFrameBecomesTheUprightRgbPicture) {
    OrvaneTest::TempDir dir;
    for (const auto& [width, height] :
         {std::pair{3u, 2u}, std::pair{641u, 3u}, std::pair{1u, 1u}}) {
        std::string frame(static_cast<size_t>(width) * height * 3, '\0');
        for (size_t i = 0; i < frame.size(); ++i) {
            frame[i] = static_cast<char>(i * 37 % 256);
        }
        const std::string path = (dir.path() / PngFrameName(width)).string();
        std::string error;
        ASSERT_TRUE(WritePngFrame(path, width, height,
                                  reinterpret_cast<const uint8_t*>(frame.data()), error))
            << error;
        const OrvaneTest::WindowImage written = OrvaneTest::readPng(path);
        const OrvaneTest::WindowImage expected = OrvaneTest::imageOfRecordedFrame(
            static_cast<int>(width), static_cast<int>(height), frame);
        EXPECT_EQ(written.width, expected.width);
        EXPECT_EQ(written.height, expected.height);
        EXPECT_EQ(written.pixels, expected.pixels);
    }
}

TEST(PngFrameWriter, NamesAreNumberedInOrderAndAFailureSaysWhy) {
    EXPECT_EQ(PngFrameName(1), "frame_000001.png");
    EXPECT_EQ(PngFrameName(999999), "frame_999999.png");
    EXPECT_EQ(PngFrameName(1234567), "frame_1234567.png");
    const uint8_t pixel[3] = {};
    std::string error;
    EXPECT_FALSE(WritePngFrame("/nonexistent/folder/frame.png", 1, 1, pixel, error));
    EXPECT_EQ(error, "No such file or directory");
}

}  // namespace
