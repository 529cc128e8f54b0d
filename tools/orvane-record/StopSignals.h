#pragma once
// Ctrl+C (SIGINT) and SIGTERM ask the recording to stop so that the video is finished and the
// pipe removed. The signals are blocked except while the recorder waits for the pipe (ppoll
// with WaitMask()), so none arrives between a look at Requested() and the wait. A second
// Ctrl+C ends the program at once.

#include <signal.h>

namespace OrvaneRecord {

class StopSignals {
public:
    StopSignals();
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    bool Requested() const;
    // The signal mask to wait with: the stop signals let through.
    const sigset_t* WaitMask() const { return &mWaitMask; }
    // Lets the signals through from now on (while the video is finished, say).
    void Unblock();

private:
    sigset_t mPreviousMask;
    sigset_t mWaitMask;
    struct sigaction mPreviousInt {};
    struct sigaction mPreviousTerm {};
    bool mBlocked = true;
};

}  // namespace OrvaneRecord
