#pragma once
// Progress on one line that rewrites itself: frames so far and frames per second, shown only
// when the line goes to a terminal.

#include <cstdint>
#include <cstdio>
#include <string>

namespace OrvaneRecord {

// The text of the line, e.g. "123 frames, 58.2 frames/s, segment 2 (640x480)".
std::string ProgressText(uint64_t frames, double framesPerSecond, uint64_t segment, uint32_t width,
                         uint32_t height);

class ProgressLine {
public:
    ProgressLine(std::FILE* out, bool enabled) : mOut(out), mEnabled(enabled) {}

    // Called for every frame with the time in seconds; redraws a few times a second. The rate
    // is that of the frames since the last redraw.
    void Update(double now, uint64_t frames, uint64_t segment, uint32_t width, uint32_t height);
    // Ends the line so that later messages start on a line of their own.
    void Finish();

private:
    std::FILE* mOut;
    bool mEnabled;
    bool mShown = false;
    double mLastTime = -1.0;
    uint64_t mLastFrames = 0;
};

}  // namespace OrvaneRecord
