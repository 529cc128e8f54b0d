#pragma once
// Process services of the operating system, one implementation file per platform.

#include <cstddef>
#include <cstdint>
#include <string>

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

// Full path of the running executable; empty when the system cannot tell.
std::string ExecutablePath();

// Bytes of memory the process may hold: the machine's physical memory, or less when the process
// runs under a lower limit (its cgroup's memory limit, its address-space limit, or the
// resident-set limit of `ulimit -m`, which the kernel no longer enforces but which says what
// the user allows). 0 when the system cannot tell.
uint64_t MemoryLimit();

// The folder for the user's pipes and sockets: $XDG_RUNTIME_DIR when it holds an absolute
// path, else /tmp.
std::string RuntimeDirectory();

}  // namespace Kor
