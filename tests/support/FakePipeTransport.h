#pragma once
// A pipe transport in memory for tests: it keeps what was written, counts its calls, and each
// call can be made to answer as the system would when things go wrong (no pipe, a busy pipe,
// short or interrupted writes, a reader that went away).

#include <deque>
#include <functional>
#include <string>

#include "OpenGlLib/PipeTransport.h"

namespace OrvaneTest {

class FakePipeTransport : public Kor::PipeTransport {
public:
    // Answers of the next Open calls; when none is left, Open succeeds.
    std::deque<Kor::PipeOpenResult> openAnswers;
    bool freeAfterWait = true;
    uint32_t writeModeError = 0;
    // Answers each Write of `size` bytes; by default every byte is taken.
    std::function<Kor::PipeWriteResult(size_t size)> onWrite;

    std::string received;  // every byte written, in order
    int opens = 0;
    int waits = 0;
    int closes = 0;
    Kor::PipeHandle openHandle = Kor::kNoPipe;  // the handle handed out and not yet closed
    bool closedUnopened = false;                // a Close of anything but openHandle

    Kor::PipeOpenResult Open() override {
        ++opens;
        Kor::PipeOpenResult answer{Kor::PipeOpenStatus::Opened, 0, 0};
        if (!openAnswers.empty()) {
            answer = openAnswers.front();
            openAnswers.pop_front();
        }
        if (answer.status == Kor::PipeOpenStatus::Opened) {
            answer.handle = openHandle = mNextHandle++;
        }
        return answer;
    }
    bool WaitUntilFree(uint32_t) override {
        ++waits;
        return freeAfterWait;
    }
    uint32_t SetWriteMode(Kor::PipeHandle) override { return writeModeError; }
    Kor::PipeWriteResult Write(Kor::PipeHandle handle, const uint8_t* data, size_t size) override {
        if (handle != openHandle) {
            return {Kor::PipeWriteStatus::Failed, 0, 9};  // EBADF
        }
        Kor::PipeWriteResult result{Kor::PipeWriteStatus::Wrote, size, 0};
        if (onWrite) {
            result = onWrite(size);
        }
        if (result.status == Kor::PipeWriteStatus::Wrote) {
            received.append(reinterpret_cast<const char*>(data), result.written);
        }
        return result;
    }
    void Close(Kor::PipeHandle handle) override {
        ++closes;
        if (handle != openHandle) {
            closedUnopened = true;
        }
        openHandle = Kor::kNoPipe;
    }

private:
    Kor::PipeHandle mNextHandle = 3;
};

// Installs a fresh fake for the lifetime of a test.
class ScopedFakePipeTransport {
public:
    ScopedFakePipeTransport() { Kor::SetPipeTransport(&fake); }
    ~ScopedFakePipeTransport() { Kor::SetPipeTransport(nullptr); }
    FakePipeTransport fake;
};

}  // namespace OrvaneTest
