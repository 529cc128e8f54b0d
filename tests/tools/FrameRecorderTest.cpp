// What the recorder makes of segments and frames (PNG files here; videos end to end in
// OrvaneRecordTest): numbers that run on across segments, the frame limit, the names of the
// video files of later segments.
#include "tools/orvane-record/FrameRecorder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/support/PngImage.h"
#include "tests/support/TempDir.h"

namespace {

using namespace OrvaneRecord;

TEST(FrameRecorder, LaterVideosAreNumberedBeforeTheExtension) {
    EXPECT_EQ(VideoFileName("take.mp4", 1), "take.mp4");
    EXPECT_EQ(VideoFileName("take.mp4", 2), "take-2.mp4");
    EXPECT_EQ(VideoFileName("out/take.v1.mkv", 3), "out/take.v1-3.mkv");
    EXPECT_EQ(VideoFileName("noext", 2), "noext-2");
}

TEST(FrameRecorder, PngNumbersRunOnAcrossSegmentsUntilTheLimit) {
    OrvaneTest::TempDir dir;
    RecordOptions options;
    options.pngFolder = dir.path().string();
    options.frames = 3;
    ProgressLine progress(stderr, false);
    FrameRecorder recorder(options, "", progress, stderr);
    const std::string small(2 * 1 * 3, '\x10'), large(3 * 2 * 3, '\x20');
    recorder.OnSegment({7, 2, 1});
    recorder.OnFrame(reinterpret_cast<const uint8_t*>(small.data()), small.size());
    recorder.OnSegment({7, 3, 2});
    for (int i = 0; i < 3; ++i) {
        recorder.OnFrame(reinterpret_cast<const uint8_t*>(large.data()), large.size());
    }
    EXPECT_TRUE(recorder.Done());
    EXPECT_TRUE(recorder.Finish());
    EXPECT_EQ(recorder.Frames(), 3u);
    EXPECT_EQ(recorder.Segments(), 2u);
    EXPECT_EQ(OrvaneTest::readPng(options.pngFolder + "/frame_000001.png").width, 2);
    EXPECT_EQ(OrvaneTest::readPng(options.pngFolder + "/frame_000003.png").height, 2);
    EXPECT_FALSE(std::filesystem::exists(options.pngFolder + "/frame_000004.png"));
}

TEST(FrameRecorder, AFileThatCannotBeWrittenEndsTheRecording) {
    OrvaneTest::TempDir dir;
    RecordOptions options;
    options.pngFolder = (dir.path() / "missing").string();
    ProgressLine progress(stderr, false);
    FrameRecorder recorder(options, "", progress, stderr);
    const std::string pixel(3, '\0');
    recorder.OnSegment({7, 1, 1});
    testing::internal::CaptureStderr();
    recorder.OnFrame(reinterpret_cast<const uint8_t*>(pixel.data()), pixel.size());
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "orvane-record: cannot write " + options.pngFolder +
                  "/frame_000001.png: No such file or directory\n");
    EXPECT_TRUE(recorder.Failed());
    EXPECT_TRUE(recorder.Done());
    EXPECT_FALSE(recorder.Finish());
}

}  // namespace
