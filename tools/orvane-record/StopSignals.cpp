#include "tools/orvane-record/StopSignals.h"

#include <csignal>

namespace OrvaneRecord {

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void requestStop(int) {
    stopRequested = 1;
}

}  // namespace

StopSignals::StopSignals() {
    struct sigaction action {};
    action.sa_handler = requestStop;
    sigemptyset(&action.sa_mask);
    // No SA_RESTART: the wait returns. SA_RESETHAND: the next one has its default effect.
    action.sa_flags = SA_RESETHAND;
    ::sigaction(SIGINT, &action, &mPreviousInt);
    ::sigaction(SIGTERM, &action, &mPreviousTerm);

    sigset_t stop;
    sigemptyset(&stop);
    sigaddset(&stop, SIGINT);
    sigaddset(&stop, SIGTERM);
    ::sigprocmask(SIG_BLOCK, &stop, &mPreviousMask);
    mWaitMask = mPreviousMask;
    sigdelset(&mWaitMask, SIGINT);
    sigdelset(&mWaitMask, SIGTERM);
}

StopSignals::~StopSignals() {
    Unblock();
    ::sigaction(SIGINT, &mPreviousInt, nullptr);
    ::sigaction(SIGTERM, &mPreviousTerm, nullptr);
}

bool StopSignals::Requested() const {
    return stopRequested != 0;
}

void StopSignals::Unblock() {
    if (mBlocked) {
        ::sigprocmask(SIG_SETMASK, &mPreviousMask, nullptr);
        mBlocked = false;
    }
}

}  // namespace OrvaneRecord
