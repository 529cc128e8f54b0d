#include "tools/orvane-record/ProgressLine.h"

namespace OrvaneRecord {

namespace {
constexpr double kRedrawSeconds = 0.25;
}

std::string ProgressText(uint64_t frames, double framesPerSecond, uint64_t segment, uint32_t width,
                         uint32_t height) {
    char text[160];
    std::snprintf(text, sizeof text, "%llu frame%s, %.1f frames/s, segment %llu (%ux%u)",
                  static_cast<unsigned long long>(frames), frames == 1 ? "" : "s", framesPerSecond,
                  static_cast<unsigned long long>(segment), width, height);
    return text;
}

void ProgressLine::Update(double now, uint64_t frames, uint64_t segment, uint32_t width,
                          uint32_t height) {
    if (!mEnabled) {
        return;
    }
    if (mLastTime < 0) {  // the first frame starts the clock
        mLastTime = now;
        mLastFrames = frames;
        return;
    }
    const double elapsed = now - mLastTime;
    if (elapsed < kRedrawSeconds) {
        return;
    }
    const double rate = static_cast<double>(frames - mLastFrames) / elapsed;
    // Back to the start of the line, the text, then clear what a longer line left behind.
    std::fprintf(mOut, "\r%s\x1b[K", ProgressText(frames, rate, segment, width, height).c_str());
    std::fflush(mOut);
    mShown = true;
    mLastTime = now;
    mLastFrames = frames;
}

void ProgressLine::Finish() {
    if (mShown) {
        std::fputc('\n', mOut);
        std::fflush(mOut);
        mShown = false;
    }
}

}  // namespace OrvaneRecord
