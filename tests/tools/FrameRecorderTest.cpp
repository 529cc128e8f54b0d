// What the recorder makes of segments and frames that end-to-end runs do not show: the names
// of the video files of later segments, and a file that cannot be written.
#include "tools/orvane-record/FrameRecorder.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/TempDir.h"

namespace {

using namespace OrvaneRecord;

TEST(FrameRecorder, LaterVideosAreNumberedBeforeTheExtension) {
    EXPECT_EQ(VideoFileName("take.mp4", 1), "take.mp4");
    EXPECT_EQ(VideoFileName("take.mp4", 2), "take-2.mp4");
    EXPECT_EQ(VideoFileName("out/take.v1.mkv", 3), "out/take.v1-3.mkv");
    EXPECT_EQ(VideoFileName("noext", 2), "noext-2");
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
