#pragma once
// Process services of the operating system, one implementation file per platform.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace Kor {

uint32_t CurrentThreadId();

// A monotonic tick count and its ticks per second.
int64_t MonotonicCounter();
int64_t MonotonicFrequency();

// Whole milliseconds of a tick count, taken apart so that a long uptime does not overflow.
constexpr int64_t TicksToMilliseconds(int64_t ticks, int64_t frequency) {
    return ticks / frequency * 1000 + ticks % frequency * 1000 / frequency;
}
inline int64_t MonotonicMilliseconds() {
    return TicksToMilliseconds(MonotonicCounter(), MonotonicFrequency());
}

// The system's text for an error code, NUL-terminated, cut to the buffer; returns its length,
// 0 when the system has none.
size_t SystemErrorText(int32_t code, char* buffer, size_t size);

bool IsDebuggerAttached();
// Stops in an attached debugger; the process goes on when the debugger lets it.
void BreakIntoDebugger();
// Ends the process at once: no unwinding, no destructors, no exit handlers.
[[noreturn]] void AbortProcess();

// The command line's words as UTF-8, the program first: argv itself where the system hands it
// over as such, the wide command line on Windows.
std::vector<std::string> CommandLineArguments(int argc, char** argv);

// Full path of the running executable, UTF-8; empty when the system cannot tell.
std::string ExecutablePath();

// Bytes of memory the process may hold: the machine's physical memory, or less when the process
// runs under a lower limit (on Linux its cgroup's memory limit, its address-space limit, or the
// resident-set limit of `ulimit -m`, which the kernel no longer enforces but which says what
// the user allows; on Windows the limits of its job object). 0 when the system cannot tell.
uint64_t MemoryLimit();

// Asks the system to back [data, data + bytes) with huge pages where it can. Filling an array of
// hundreds of megabytes otherwise costs a page fault per 4 KiB, which dominates loading a long
// recording. Advice only: small ranges and systems without huge pages are left as they are.
void AdviseHugePages(void* data, size_t bytes);

// The folder for the user's pipes and sockets: $XDG_RUNTIME_DIR when it holds an absolute
// path, else /tmp. Windows keeps named pipes in no folder; there it is the user's temporary
// folder, without a trailing separator.
std::string RuntimeDirectory();

// Whether standard error is a terminal (a console on Windows), where an updating line can be
// drawn over itself.
bool StandardErrorIsTerminal();

// Makes a write to a pipe whose reader has gone a failed write instead of the end of the
// process (SIGPIPE on POSIX; Windows has no such signal). A handler the program installed
// itself is left alone.
void IgnoreBrokenPipes();

}  // namespace Kor
