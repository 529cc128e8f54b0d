#pragma once
// The recorder's side of the named pipe on Windows: the one instance of the pipe, inbound, in
// message mode, open to the current user only. Waits are overlapped, so that a stop event
// (set by the console's Ctrl+C handler, or by a test) ends them.

#include <windows.h>

#include <memory>
#include <string>

#include "tools/orvane-record/RecordingPipe.h"

namespace OrvaneRecord {

class NamedPipeServer final : public RecordingPipe {
public:
    // Serves `name` ("\\.\pipe\..."); null when another process already serves it. The stop
    // event is not owned and must outlive the server.
    static std::unique_ptr<NamedPipeServer> Create(const std::string& name, HANDLE stopEvent,
                                                   std::string& error);
    ~NamedPipeServer() override;
    NamedPipeServer(const NamedPipeServer&) = delete;
    NamedPipeServer& operator=(const NamedPipeServer&) = delete;

    const std::string& Path() const override { return mName; }
    PipeRead Read(uint8_t* buffer, size_t size, std::string& error) override;
    void LetStopEndProgram() override {}

private:
    NamedPipeServer(std::string name, HANDLE pipe, HANDLE ioEvent, HANDLE stopEvent)
        : mName(std::move(name)), mPipe(pipe), mIoEvent(ioEvent), mStopEvent(stopEvent) {}
    // Waits for the overlapped operation; false when stopped first (the operation cancelled).
    bool finish(OVERLAPPED& operation);

    std::string mName;
    HANDLE mPipe;
    HANDLE mIoEvent;
    HANDLE mStopEvent;
    bool mConnected = false;
};

}  // namespace OrvaneRecord
