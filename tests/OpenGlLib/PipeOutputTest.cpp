// Frame recording against a pipe transport in memory and a pixel reader that paints a known
// pattern: the bytes of the stream, what each failure prints and what it does to the window's
// <name>.RecordToPipe, and which pixels are read after a resize.
#include "OpenGlLib/PipeOutput.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "OpenGlLib/FrameStreamFormat.h"
#include "OpenGlLib/GLWindow.h"
#include "OpenGlLib/GLWindowInternals.h"
#include "PlatformLib/InMemoryVarsManager.h"
#include "PlatformLib/Vars.h"
#include "tests/support/FakePipeTransport.h"
#include "tests/support/FakeWindowSystem.h"

namespace {

using namespace Kor;
using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

struct ReadCall {
    int32_t width, height, rowPixels;
};
std::vector<ReadCall> readCalls;

uint8_t patternAt(int32_t x, int32_t y, int channel) {
    return static_cast<uint8_t>(1 + (x * 7 + y * 13 + channel) % 250);
}

// Paints every pixel it is asked for, so that the frame shows what was read.
void paintPattern(int32_t width, int32_t height, int32_t rowPixels, uint8_t* pixels) {
    readCalls.push_back({width, height, rowPixels});
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            for (int c = 0; c < 3; ++c) {
                pixels[(static_cast<size_t>(y) * rowPixels + x) * 3 + c] = patternAt(x, y, c);
            }
        }
    }
}

std::string patternFrame(int32_t width, int32_t height, int32_t readWidth, int32_t readHeight) {
    std::string frame(FrameBytes(width, height), '\0');
    for (int32_t y = 0; y < readHeight; ++y) {
        for (int32_t x = 0; x < readWidth; ++x) {
            for (int c = 0; c < 3; ++c) {
                frame[(static_cast<size_t>(y) * width + x) * 3 + c] =
                    static_cast<char>(patternAt(x, y, c));
            }
        }
    }
    return frame;
}

std::string header(uint32_t width, uint32_t height) {
    const auto bytes = EncodeFrameStreamHeader({kFrameStreamFormat, width, height});
    return std::string(bytes.begin(), bytes.end());
}

constexpr const char* kVariable = "Rec.RecordToPipe";

class PipeOutputTest : public ::testing::Test {
protected:
    void SetUp() override {
        InstallInMemoryVarsManager();
        readCalls.clear();
        window = std::make_unique<GLWindow>("Rec", WindowSize{640, 480});
        setRecording(0);
        resize(640, 480);
    }
    void TearDown() override {
        ClosePipe();
        window.reset();
    }

    void setRecording(int value) { SetVar(kVariable, ValueRef{&value, VarType::Int}); }
    int recording() {
        int value = -1;
        TryGetInt(kVariable, value);
        return value;
    }
    void resize(int32_t width, int32_t height) {
        window->mWidth = width;
        window->mHeight = height;
    }
    GLWindowInternals& internals() { return *window->mInternals; }
    // Frames as the window presents them; what they printed.
    std::string frames(int count = 1) {
        CaptureStdout();
        for (int i = 0; i < count; ++i) {
            RecordFrame(internals(), paintPattern);
        }
        return GetCapturedStdout();
    }

    OrvaneTest::ScopedFakeWindowSystem system;
    OrvaneTest::ScopedFakePipeTransport transport;
    OrvaneTest::FakePipeTransport& pipe = transport.fake;
    std::unique_ptr<GLWindow> window;
};

TEST_F(PipeOutputTest, AStreamIsAHeaderThenWholeFramesWithoutRowPadding) {
    struct Case {
        int32_t width, height;
        std::string headerBytes;
    };
    const Case cases[] = {
        {640, 480, std::string("\x07\0\0\0\x80\x02\0\0\xE0\x01\0\0", 12)},
        // 641 x 3 is not a multiple of 4: rows stay tightly packed.
        {641, 480, std::string("\x07\0\0\0\x81\x02\0\0\xE0\x01\0\0", 12)},
        {1, 1, std::string("\x07\0\0\0\x01\0\0\0\x01\0\0\0", 12)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.width);
        pipe.received.clear();
        resize(c.width, c.height);
        setRecording(1);
        EXPECT_EQ(frames(2), "");
        const std::string frame = patternFrame(c.width, c.height, c.width, c.height);
        EXPECT_EQ(frame.size(), static_cast<size_t>(c.width) * c.height * 3);
        EXPECT_EQ(pipe.received, c.headerBytes + frame + frame);
        EXPECT_TRUE(internals().mStreaming);
        setRecording(0);
        frames();
        EXPECT_FALSE(internals().mStreaming);
        EXPECT_TRUE(internals().mRecordBuffer.empty());  // released with its stream
    }
    EXPECT_EQ(pipe.opens, 3);
    EXPECT_EQ(pipe.closes, 3);
}

TEST_F(PipeOutputTest, ShortAndInterruptedWritesStillDeliverEveryByte) {
    int call = 0;
    pipe.onWrite = [&](size_t size) -> PipeWriteResult {
        if (++call % 3 == 0) {
            return {PipeWriteStatus::Interrupted, 0, 0};
        }
        return {PipeWriteStatus::Wrote, std::min<size_t>(size, 4096 + call), 0};
    };
    resize(641, 3);
    setRecording(1);
    EXPECT_EQ(frames(), "");
    EXPECT_EQ(pipe.received, header(641, 3) + patternFrame(641, 3, 641, 3));
    EXPECT_EQ(recording(), 1);
}

TEST_F(PipeOutputTest, AReaderThatGoesAwaySwitchesRecordingOffAndTheNextFrameCloses) {
    resize(8, 4);
    setRecording(1);
    frames();
    pipe.onWrite = [](size_t) { return PipeWriteResult{PipeWriteStatus::Failed, 0, 32}; };
    EXPECT_EQ(frames(), "WriteFile to pipe failed. GLE=32\n");
    EXPECT_EQ(recording(), 0);
    EXPECT_EQ(pipe.closes, 0);  // until the next frame
    EXPECT_EQ(frames(3), "");
    EXPECT_EQ(pipe.closes, 1);
    EXPECT_FALSE(internals().mStreaming);
    EXPECT_EQ(pipe.opens, 1);  // switched off: nothing is tried again
    EXPECT_FALSE(pipe.closedUnopened);
}

TEST_F(PipeOutputTest, AFailedHeaderClosesAtOnceAndSwitchesRecordingOff) {
    pipe.onWrite = [](size_t size) {
        return size == kFrameStreamHeaderBytes ? PipeWriteResult{PipeWriteStatus::Failed, 0, 32}
                                               : PipeWriteResult{PipeWriteStatus::Wrote, size, 0};
    };
    setRecording(1);
    EXPECT_EQ(frames(2), "WriteFile to pipe failed. GLE=32\n");
    EXPECT_EQ(recording(), 0);
    EXPECT_EQ(pipe.closes, 1);
    EXPECT_FALSE(internals().mStreaming);
    EXPECT_FALSE(IsPipeOpen());
    EXPECT_TRUE(readCalls.empty());
}

TEST_F(PipeOutputTest, AMissingPipeIsTriedEveryFrameAndReportedOncePerReason) {
    const PipeOpenResult noPipe{PipeOpenStatus::Failed, kNoPipe, 2};
    const PipeOpenResult noReader{PipeOpenStatus::Failed, kNoPipe, 6};
    pipe.openAnswers = {noPipe, noPipe, noPipe, noReader, noReader};
    setRecording(1);
    EXPECT_EQ(frames(3), "Could not open pipe. GLE=2\n");
    EXPECT_EQ(frames(2), "Could not open pipe. GLE=6\n");
    EXPECT_EQ(pipe.opens, 5);
    EXPECT_EQ(recording(), 1);  // still asked for
    EXPECT_EQ(pipe.closes, 0);  // nothing opened, nothing closed
    EXPECT_TRUE(readCalls.empty());

    // The pipe appears: the stream starts at once.
    EXPECT_EQ(frames(), "");
    EXPECT_EQ(pipe.received, header(640, 480) + patternFrame(640, 480, 640, 480));

    // A later request reports its own failures again, even for the same reason.
    setRecording(0);
    frames();
    pipe.openAnswers = {noReader, noReader};
    setRecording(1);
    EXPECT_EQ(frames(2), "Could not open pipe. GLE=6\n");
    setRecording(0);
    frames();
    pipe.openAnswers = {noReader};
    setRecording(1);
    EXPECT_EQ(frames(), "Could not open pipe. GLE=6\n");
    EXPECT_FALSE(pipe.closedUnopened);
}

TEST_F(PipeOutputTest, SwitchedOffAndOnAgainSendsANewHeaderWithTheSizeOfThatMoment) {
    resize(4, 2);
    setRecording(1);
    frames();
    setRecording(0);
    frames();
    EXPECT_EQ(pipe.closes, 1);
    resize(3, 5);
    setRecording(1);
    frames();
    EXPECT_EQ(pipe.received,
              header(4, 2) + patternFrame(4, 2, 4, 2) + header(3, 5) + patternFrame(3, 5, 3, 5));
}

TEST_F(PipeOutputTest, AWindowThatGoesWhileItStreamsEndsItsStream) {
    setRecording(1);
    frames();
    window.reset();
    EXPECT_EQ(pipe.closes, 1);
    EXPECT_FALSE(IsPipeOpen());
}

TEST_F(PipeOutputTest, AResizedWindowKeepsTheFrameSizeAndIsReadOnlyWhereItHasPixels) {
    resize(6, 4);
    setRecording(1);
    frames();
    pipe.received.clear();
    resize(2, 3);  // smaller: the rest of the frame is black, not the last frame's pixels
    frames();
    resize(0, 0);  // minimised: nothing to read
    frames();
    resize(9, 9);  // larger: only the stream's size is read
    frames();
    ASSERT_EQ(readCalls.size(), 3u);
    EXPECT_EQ(readCalls[1].width, 2);
    EXPECT_EQ(readCalls[1].height, 3);
    EXPECT_EQ(readCalls[1].rowPixels, 6);
    EXPECT_EQ(readCalls[2].width, 6);
    EXPECT_EQ(readCalls[2].height, 4);
    EXPECT_EQ(pipe.received, patternFrame(6, 4, 2, 3) + std::string(FrameBytes(6, 4), '\0') +
                                 patternFrame(6, 4, 6, 4));
}

TEST_F(PipeOutputTest, AWindowWithoutPixelsWaitsForASizeBeforeItStartsAStream) {
    resize(0, 480);
    setRecording(1);
    EXPECT_EQ(frames(2), "");
    EXPECT_EQ(pipe.opens, 0);
    resize(10, 10);
    frames();
    EXPECT_EQ(pipe.received.substr(0, 12), header(10, 10));
}

TEST_F(PipeOutputTest, ABusyPipeIsWaitedForAndAFailedSetUpClosesWhatWasOpened) {
    const PipeOpenResult busy{PipeOpenStatus::Busy, kNoPipe, 231};
    pipe.openAnswers = {busy};
    setRecording(1);
    EXPECT_EQ(frames(), "");
    EXPECT_EQ(pipe.waits, 1);
    EXPECT_TRUE(internals().mStreaming);

    setRecording(0);
    frames();
    pipe.openAnswers = {busy};
    pipe.freeAfterWait = false;  // the wait timed out: logged, nothing to close
    setRecording(1);
    EXPECT_EQ(frames(), "");
    EXPECT_EQ(pipe.closes, 1);
    EXPECT_FALSE(internals().mStreaming);

    pipe.writeModeError = 5;
    EXPECT_EQ(frames(), "SetNamedPipeHandleState failed. GLE=5\n");
    EXPECT_EQ(pipe.closes, 2);
    EXPECT_FALSE(IsPipeOpen());
    EXPECT_FALSE(pipe.closedUnopened);
    EXPECT_EQ(recording(), 1);  // the next frame tries again
}

}  // namespace
