// The recording pipe on Windows: the named pipe that the reading process serves, opened as a
// client and switched to message mode, so that each write arrives as one message.

#include <windows.h>

#include <algorithm>
#include <limits>

#include "OpenGlLib/PipeTransport.h"
#include "PlatformLib/WideText.h"

namespace Kor {

namespace {

HANDLE handleOf(PipeHandle handle) {
    return reinterpret_cast<HANDLE>(handle);
}

class NamedPipeTransport final : public PipeTransport {
public:
    explicit NamedPipeTransport(std::string name) : mName(Utf8ToWide(name)) {}

    PipeOpenResult Open() override {
        // Identification only: whoever serves a pipe of this name may learn who writes to it,
        // but cannot act as this user.
        const HANDLE pipe = ::CreateFileW(mName.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                          SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION, nullptr);
        if (pipe != INVALID_HANDLE_VALUE) {
            return {PipeOpenStatus::Opened, reinterpret_cast<PipeHandle>(pipe), 0};
        }
        const DWORD error = ::GetLastError();
        if (error == ERROR_PIPE_BUSY) {
            return {PipeOpenStatus::Busy, kNoPipe, error};
        }
        return {PipeOpenStatus::Failed, kNoPipe, error};
    }

    bool WaitUntilFree(uint32_t timeoutMs) override {
        return ::WaitNamedPipeW(mName.c_str(), timeoutMs) != FALSE;
    }

    uint32_t SetWriteMode(PipeHandle handle) override {
        DWORD mode = PIPE_READMODE_MESSAGE | PIPE_WAIT;
        if (!::SetNamedPipeHandleState(handleOf(handle), &mode, nullptr, nullptr)) {
            return ::GetLastError();
        }
        return 0;
    }

    PipeWriteResult Write(PipeHandle handle, const uint8_t* data, size_t size) override {
        const auto chunk =
            static_cast<DWORD>(std::min<size_t>(size, std::numeric_limits<DWORD>::max()));
        DWORD written = 0;
        if (!::WriteFile(handleOf(handle), data, chunk, &written, nullptr)) {
            return {PipeWriteStatus::Failed, 0, ::GetLastError()};
        }
        if (written == 0 && size > 0) {
            return {PipeWriteStatus::Failed, 0, ERROR_NO_DATA};
        }
        return {PipeWriteStatus::Wrote, written, 0};
    }

    void Close(PipeHandle handle) override { ::CloseHandle(handleOf(handle)); }

private:
    std::wstring mName;
};

}  // namespace

std::unique_ptr<PipeTransport> MakeSystemPipeTransport(std::string name) {
    return std::make_unique<NamedPipeTransport>(std::move(name));
}

}  // namespace Kor
