#pragma once
// The system's local pipe to another process, as the frame recorder uses it: open the pipe
// that the other process made, write to it, close it. Named after what it does; one
// implementation per system (PipeTransportLinux.cpp: a FIFO), and tests install a fake one to
// make each call fail.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace Kor {

using PipeHandle = intptr_t;
constexpr PipeHandle kNoPipe = -1;

enum class PipeOpenStatus { Opened, Busy, Failed };

struct PipeOpenResult {
    PipeOpenStatus status = PipeOpenStatus::Failed;
    PipeHandle handle = kNoPipe;  // when Opened
    uint32_t error = 0;           // the system's error code when Failed
};

enum class PipeWriteStatus { Wrote, Interrupted, Failed };

struct PipeWriteResult {
    PipeWriteStatus status = PipeWriteStatus::Failed;
    size_t written = 0;  // when Wrote: at least one byte, at most the size asked
    uint32_t error = 0;  // the system's error code when Failed
};

class PipeTransport {
public:
    virtual ~PipeTransport() = default;

    // Opens the pipe for writing. Busy: every instance of it is in use (systems where a
    // pipe has a number of instances); Failed: there is no pipe, no reader, or something else
    // than a pipe of this user at its name.
    virtual PipeOpenResult Open() = 0;
    // Waits at most timeoutMs for an instance to come free; false when none did.
    virtual bool WaitUntilFree(uint32_t timeoutMs) = 0;
    // Makes writes wait for the reader (and keep message boundaries where the system has
    // them); the system's error code, 0 on success.
    virtual uint32_t SetWriteMode(PipeHandle handle) = 0;
    // Writes some of the bytes: fewer than asked is normal for a large write.
    virtual PipeWriteResult Write(PipeHandle handle, const uint8_t* data, size_t size) = 0;
    virtual void Close(PipeHandle handle) = 0;
};

// The process's pipe transport: the one installed, else the system's pipe at
// RecordingPipePath(), made on first use.
PipeTransport& GetPipeTransport();
// Installs a transport (not owned) for the rest of the process; null restores the system's.
void SetPipeTransport(PipeTransport* transport);
// The system's pipe at the given name (defined per system).
std::unique_ptr<PipeTransport> MakeSystemPipeTransport(std::string name);

}  // namespace Kor
