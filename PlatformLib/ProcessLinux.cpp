#include <fcntl.h>
#include <signal.h>
#include <string.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "PlatformLib/Process.h"

namespace Kor {

uint32_t CurrentThreadId() {
    return static_cast<uint32_t>(::gettid());
}

int64_t MonotonicCounter() {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

int64_t MonotonicFrequency() {
    return 1000000000;
}

size_t SystemErrorText(int32_t code, char* buffer, size_t size) {
    if (buffer == nullptr || size == 0) {
        return 0;
    }
    // The GNU strerror_r answers a text that may or may not be in the buffer.
    const char* text = ::strerror_r(code, buffer, size);
    if (text == nullptr) {
        buffer[0] = '\0';
        return 0;
    }
    size_t length = std::strlen(text);
    if (length >= size) {
        length = size - 1;
    }
    if (text != buffer) {
        std::memmove(buffer, text, length);
    }
    buffer[length] = '\0';
    return length;
}

bool IsDebuggerAttached() {
    // Read with plain system calls into a stack buffer: this runs on the failure path.
    int fd = ::open("/proc/self/status", O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    char status[8192];
    size_t used = 0;
    while (used < sizeof status - 1) {
        ssize_t got = ::read(fd, status + used, sizeof status - 1 - used);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            break;
        }
        used += static_cast<size_t>(got);
    }
    ::close(fd);
    status[used] = '\0';
    const char* field = std::strstr(status, "\nTracerPid:");
    if (field == nullptr) {
        return false;
    }
    field += std::strlen("\nTracerPid:");
    while (*field == ' ' || *field == '\t') {
        ++field;
    }
    return *field >= '1' && *field <= '9';
}

void BreakIntoDebugger() {
    ::raise(SIGTRAP);
}

void AbortProcess() {
    std::abort();
}

std::string ExecutablePath() {
    std::string path(256, '\0');
    for (;;) {
        ssize_t got = ::readlink("/proc/self/exe", path.data(), path.size());
        if (got < 0) {
            return {};
        }
        if (static_cast<size_t>(got) < path.size()) {
            path.resize(static_cast<size_t>(got));
            return path;
        }
        // A result that fills the buffer may have been cut.
        if (path.size() >= (size_t{1} << 20)) {
            return {};
        }
        path.resize(path.size() * 2);
    }
}

std::string RuntimeDirectory() {
    // A relative folder would depend on the working directory of each process.
    const char* folder = std::getenv("XDG_RUNTIME_DIR");
    return folder != nullptr && folder[0] == '/' ? std::string(folder) : std::string("/tmp");
}

}  // namespace Kor
