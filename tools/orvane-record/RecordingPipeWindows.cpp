#include "tools/orvane-record/RecordingPipeWindows.h"

#include <sddl.h>

#include <algorithm>
#include <limits>

#include "PlatformLib/Process.h"
#include "PlatformLib/WideText.h"

namespace OrvaneRecord {

namespace {

std::string systemError(const char* what, DWORD code) {
    char text[256];
    const size_t length = Kor::SystemErrorText(static_cast<int32_t>(code), text, sizeof text);
    std::string message = std::string(what) + ": ";
    message += length > 0 ? std::string(text, length) : "error";
    return message + " (GLE=" + std::to_string(code) + ")";
}

// "Full access for this user, nobody else": a DACL with the user's SID alone. Null when the
// system cannot tell the user, in which case the pipe gets the default DACL.
PSECURITY_DESCRIPTOR currentUserOnly() {
    HANDLE token = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) {
        return nullptr;
    }
    DWORD size = 0;
    ::GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<uint8_t> user(size);
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    LPWSTR sid = nullptr;
    if (size > 0 && ::GetTokenInformation(token, TokenUser, user.data(), size, &size) &&
        ::ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid, &sid)) {
        const std::wstring sddl = L"D:P(A;;GA;;;" + std::wstring(sid) + L")";
        ::LocalFree(sid);
        if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1,
                                                                    &descriptor, nullptr)) {
            descriptor = nullptr;
        }
    }
    ::CloseHandle(token);
    return descriptor;
}

}  // namespace

std::unique_ptr<NamedPipeServer> NamedPipeServer::Create(const std::string& name, HANDLE stopEvent,
                                                         std::string& error) {
    PSECURITY_DESCRIPTOR descriptor = currentUserOnly();
    SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor, FALSE};
    // The first instance or none: a second recorder on the name must not take half the frames.
    const HANDLE pipe = ::CreateNamedPipeW(
        Kor::Utf8ToWide(name).c_str(),
        PIPE_ACCESS_INBOUND | FILE_FLAG_FIRST_PIPE_INSTANCE | FILE_FLAG_OVERLAPPED,
        PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS, 1, 0,
        1 << 20, 0, descriptor != nullptr ? &attributes : nullptr);
    const DWORD created = ::GetLastError();
    ::LocalFree(descriptor);
    if (pipe == INVALID_HANDLE_VALUE) {
        error = created == ERROR_ACCESS_DENIED || created == ERROR_PIPE_BUSY
                    ? name + " is already served: another orvane-record may be recording"
                    : systemError(("cannot make " + name).c_str(), created);
        return nullptr;
    }
    const HANDLE ioEvent = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (ioEvent == nullptr) {
        error = systemError("cannot make an event", ::GetLastError());
        ::CloseHandle(pipe);
        return nullptr;
    }
    return std::unique_ptr<NamedPipeServer>(new NamedPipeServer(name, pipe, ioEvent, stopEvent));
}

NamedPipeServer::~NamedPipeServer() {
    ::CloseHandle(mPipe);
    ::CloseHandle(mIoEvent);
}

bool NamedPipeServer::finish(OVERLAPPED& operation) {
    const HANDLE events[2] = {mIoEvent, mStopEvent};
    if (::WaitForMultipleObjects(2, events, FALSE, INFINITE) == WAIT_OBJECT_0) {
        return true;
    }
    // The operation must be over before `operation` goes out of scope.
    ::CancelIoEx(mPipe, &operation);
    DWORD ignored = 0;
    ::GetOverlappedResult(mPipe, &operation, &ignored, TRUE);
    return false;
}

PipeRead NamedPipeServer::Read(uint8_t* buffer, size_t size, std::string& error) {
    if (::WaitForSingleObject(mStopEvent, 0) == WAIT_OBJECT_0) {
        return {PipeReadStatus::Stopped, 0};
    }
    DWORD done = 0;
    if (!mConnected) {
        OVERLAPPED connect{};
        connect.hEvent = mIoEvent;
        ::ResetEvent(mIoEvent);
        if (!::ConnectNamedPipe(mPipe, &connect)) {
            DWORD code = ::GetLastError();
            if (code == ERROR_IO_PENDING) {
                if (!finish(connect)) {
                    return {PipeReadStatus::Stopped, 0};
                }
                code = ::GetOverlappedResult(mPipe, &connect, &done, FALSE) ? 0 : ::GetLastError();
            }
            // A writer that came before the wait is connected too.
            if (code != 0 && code != ERROR_PIPE_CONNECTED) {
                error = systemError("cannot wait for Orvane on the pipe", code);
                return {PipeReadStatus::Failed, 0};
            }
        }
        mConnected = true;
    }
    OVERLAPPED read{};
    read.hEvent = mIoEvent;
    ::ResetEvent(mIoEvent);
    const auto wanted =
        static_cast<DWORD>(std::min<size_t>(size, std::numeric_limits<DWORD>::max()));
    DWORD code = ::ReadFile(mPipe, buffer, wanted, nullptr, &read) ? 0 : ::GetLastError();
    if (code == ERROR_IO_PENDING && !finish(read)) {
        return {PipeReadStatus::Stopped, 0};
    }
    // The count of an overlapped read is known only here, even when it finished at once.
    if (code == 0 || code == ERROR_IO_PENDING || code == ERROR_MORE_DATA) {
        code = ::GetOverlappedResult(mPipe, &read, &done, FALSE) ? 0 : ::GetLastError();
    }
    // A message larger than the buffer comes in parts; the stream does not care where.
    if (code == 0 || code == ERROR_MORE_DATA) {
        return {PipeReadStatus::Data, done};
    }
    if (code == ERROR_BROKEN_PIPE || code == ERROR_PIPE_NOT_CONNECTED) {
        // Free for the next writer: Orvane connects again when recording is turned on again.
        ::DisconnectNamedPipe(mPipe);
        mConnected = false;
        return {PipeReadStatus::WriterGone, 0};
    }
    error = systemError("cannot read the pipe", code);
    return {PipeReadStatus::Failed, 0};
}

namespace {

// Set by the console's Ctrl+C handler; a process has one console.
HANDLE consoleStop = nullptr;

BOOL WINAPI onConsoleControl(DWORD type) {
    if (type == CTRL_C_EVENT || type == CTRL_BREAK_EVENT || type == CTRL_CLOSE_EVENT) {
        ::SetEvent(consoleStop);
        return TRUE;
    }
    return FALSE;
}

// The named pipe stopped by the console's Ctrl+C.
class ConsoleRecordingPipe final : public RecordingPipe {
public:
    explicit ConsoleRecordingPipe(std::unique_ptr<NamedPipeServer> server)
        : mServer(std::move(server)) {}
    ~ConsoleRecordingPipe() override { LetStopEndProgram(); }

    const std::string& Path() const override { return mServer->Path(); }
    PipeRead Read(uint8_t* buffer, size_t size, std::string& error) override {
        return mServer->Read(buffer, size, error);
    }
    void LetStopEndProgram() override {
        if (mHandling) {
            ::SetConsoleCtrlHandler(onConsoleControl, FALSE);
            mHandling = false;
        }
    }

private:
    std::unique_ptr<NamedPipeServer> mServer;
    bool mHandling = true;
};

}  // namespace

std::unique_ptr<RecordingPipe> RecordingPipe::Create(const std::string& path, std::string& error) {
    if (consoleStop == nullptr) {
        consoleStop = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
        if (consoleStop == nullptr) {
            error = systemError("cannot make an event", ::GetLastError());
            return nullptr;
        }
    }
    ::SetConsoleCtrlHandler(onConsoleControl, TRUE);
    std::unique_ptr<NamedPipeServer> server = NamedPipeServer::Create(path, consoleStop, error);
    if (!server) {
        ::SetConsoleCtrlHandler(onConsoleControl, FALSE);
        return nullptr;
    }
    return std::make_unique<ConsoleRecordingPipe>(std::move(server));
}

}  // namespace OrvaneRecord
