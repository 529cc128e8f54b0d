#include <fcntl.h>
#include <signal.h>
#include <string.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "PlatformLib/CgroupMemory.h"
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

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
    return std::vector<std::string>(argv, argv + argc);
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

namespace {

// The start of a small file the kernel writes; empty when it cannot be read.
std::string ReadSmallFile(const std::string& path) {
    constexpr std::streamsize kMaxBytes = 64 * 1024;
    std::ifstream in(path, std::ios::binary);
    std::string text(kMaxBytes, '\0');
    in.read(text.data(), kMaxBytes);
    text.resize(static_cast<size_t>(in.gcount()));
    return text;
}

// The lowest limit of a cgroup and its ancestors; a limit set higher up applies below too.
uint64_t CgroupLimit(const std::optional<std::string>& path, const char* mount,
                     const char* limitFile) {
    uint64_t limit = UINT64_MAX;
    if (path) {
        for (const std::string& folder : CgroupLimitFolders(mount, *path)) {
            limit = std::min(limit, ParseMemoryLimit(ReadSmallFile(folder + "/" + limitFile)));
        }
    }
    return limit;
}

}  // namespace

uint64_t MemoryLimit() {
    uint64_t limit = UINT64_MAX;
    const long pages = ::sysconf(_SC_PHYS_PAGES);
    const long pageSize = ::sysconf(_SC_PAGE_SIZE);
    if (pages > 0 && pageSize > 0) {
        limit = static_cast<uint64_t>(pages) <= UINT64_MAX / static_cast<uint64_t>(pageSize)
                    ? static_cast<uint64_t>(pages) * static_cast<uint64_t>(pageSize)
                    : UINT64_MAX;
    }
    for (const int resource : {RLIMIT_AS, RLIMIT_RSS}) {
        rlimit value{};
        if (::getrlimit(resource, &value) == 0 && value.rlim_cur != RLIM_INFINITY) {
            limit = std::min<uint64_t>(limit, value.rlim_cur);
        }
    }
    // The usual mount points: a cgroup v2 hierarchy at /sys/fs/cgroup, a v1 memory controller
    // in its own folder beneath it. Inside a container the process's cgroup is the mount's
    // root, which the folders end with.
    const CgroupMemoryPaths cgroups = ParseCgroupMemoryPaths(ReadSmallFile("/proc/self/cgroup"));
    limit = std::min(limit, CgroupLimit(cgroups.unified, "/sys/fs/cgroup", "memory.max"));
    limit = std::min(
        limit, CgroupLimit(cgroups.memoryV1, "/sys/fs/cgroup/memory", "memory.limit_in_bytes"));
    return limit == UINT64_MAX ? 0 : limit;
}

void AdviseHugePages(void* data, size_t bytes) {
    // Below two huge pages the range holds at most one of them: not worth a system call.
    constexpr uintptr_t kHugePage = uintptr_t{2} << 20;
    if (data == nullptr || bytes < 2 * kHugePage) {
        return;
    }
    const auto page = static_cast<uintptr_t>(::sysconf(_SC_PAGESIZE));
    const auto first = reinterpret_cast<uintptr_t>(data);
    const uintptr_t begin = (first + page - 1) & ~(page - 1);
    const uintptr_t end = (first + bytes) & ~(page - 1);
    // Refused where the kernel has no transparent huge pages; the array works as before.
    ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
}

std::string RuntimeDirectory() {
    // A relative folder would depend on the working directory of each process.
    const char* folder = std::getenv("XDG_RUNTIME_DIR");
    return folder != nullptr && folder[0] == '/' ? std::string(folder) : std::string("/tmp");
}

bool StandardErrorIsTerminal() {
    return ::isatty(STDERR_FILENO) == 1;
}

void IgnoreBrokenPipes() {
    static const bool ignored = [] {
        struct sigaction current {};
        if (::sigaction(SIGPIPE, nullptr, &current) == 0 && current.sa_handler == SIG_DFL) {
            ::signal(SIGPIPE, SIG_IGN);
        }
        return true;
    }();
    (void)ignored;
}

}  // namespace Kor
