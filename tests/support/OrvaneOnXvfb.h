#pragma once
// The real program on a private X server of its own: started with its arguments, its window
// found, driven through a client connection, and its output collected once it has ended.

#include <future>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/Process.h"
#include "tests/support/Xvfb.h"

namespace OrvaneTest {

class OrvaneOnXvfb {
public:
    // The program is the built orvane unless another path (a copy of it, or a program that
    // starts it) is given; `options` may add to its environment and set its folder.
    explicit OrvaneOnXvfb(std::vector<std::string> args, std::string program = ORVANE_EXE,
                          ProcessOptions options = {}) {
        if (mServer.display().empty()) {
            return;
        }
        options.setEnv.emplace_back("DISPLAY", mServer.display());
        options.timeout = std::chrono::seconds(120);
        args.insert(args.begin(), std::move(program));
        mRun = std::async(std::launch::async,
                          [args = std::move(args), options] { return runProcess(args, options); });
        mSession = std::make_unique<XSession>(mServer.display());
        mWindow = mSession->waitForWindow("Orvane", std::chrono::seconds(60));
    }
    // A test that stops early still ends the program, as closing its window does.
    ~OrvaneOnXvfb() {
        if (mRun.valid()) {
            finish();
        }
    }
    OrvaneOnXvfb(const OrvaneOnXvfb&) = delete;
    OrvaneOnXvfb& operator=(const OrvaneOnXvfb&) = delete;

    // The program's window; 0 when the server or the window did not come up.
    unsigned long window() const { return mWindow; }
    XSession& x() { return *mSession; }

    // Whether the program has ended by itself.
    bool ended() const {
        return mRun.valid() && mRun.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
    }

    // Closes the window as a window manager does and waits for the program to end.
    ProcessResult finish() {
        if (mWindow != 0) {
            mSession->sendDeleteWindow(mWindow);
        }
        return mRun.get();
    }

private:
    XvfbServer mServer;
    std::future<ProcessResult> mRun;
    std::unique_ptr<XSession> mSession;
    unsigned long mWindow = 0;
};

}  // namespace OrvaneTest
