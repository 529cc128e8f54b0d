// The progress line: its text, redrawn in place a few times a second on a terminal, and
// nothing at all elsewhere.
#include "tools/orvane-record/ProgressLine.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

using namespace OrvaneRecord;

// What a ProgressLine wrote, through an in-memory stream.
class Output {
public:
    Output() : mFile(open_memstream(&mBuffer, &mSize)) {}
    ~Output() {
        std::fclose(mFile);
        std::free(mBuffer);
    }
    std::FILE* file() { return mFile; }
    std::string text() {
        std::fflush(mFile);
        return std::string(mBuffer, mSize);
    }

private:
    char* mBuffer = nullptr;
    size_t mSize = 0;
    std::FILE* mFile;
};

TEST(ProgressLine, TheLineShowsTheRateSinceItsLastRedraw) {
    EXPECT_EQ(ProgressText(1, 0.0, 1, 640, 480), "1 frame, 0.0 frames/s, segment 1 (640x480)");
    Output out;
    ProgressLine line(out.file(), true);
    line.Update(10.0, 1, 1, 640, 480);   // starts the clock
    line.Update(10.1, 5, 1, 640, 480);   // too soon to redraw
    line.Update(10.5, 31, 1, 640, 480);  // 30 frames in half a second
    line.Update(11.0, 41, 2, 320, 200);
    line.Finish();
    line.Finish();
    EXPECT_EQ(out.text(),
              "\r31 frames, 60.0 frames/s, segment 1 (640x480)\x1b[K"
              "\r41 frames, 20.0 frames/s, segment 2 (320x200)\x1b[K\n");
}

TEST(ProgressLine, NothingIsWrittenWhenTheOutputIsNotATerminal) {
    Output out;
    ProgressLine line(out.file(), false);
    for (int i = 1; i <= 10; ++i) {
        line.Update(i, static_cast<uint64_t>(i), 1, 2, 2);
    }
    line.Finish();
    EXPECT_EQ(out.text(), "");
}

}  // namespace
