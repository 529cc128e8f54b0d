#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <io.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "PlatformLib/Process.h"
#include "PlatformLib/WideText.h"

namespace Kor {

uint32_t CurrentThreadId() {
    return static_cast<uint32_t>(::GetCurrentThreadId());
}

int64_t MonotonicCounter() {
    LARGE_INTEGER now{};
    ::QueryPerformanceCounter(&now);
    return now.QuadPart;
}

int64_t MonotonicFrequency() {
    LARGE_INTEGER frequency{};
    ::QueryPerformanceFrequency(&frequency);
    return frequency.QuadPart;
}

size_t SystemErrorText(int32_t code, char* buffer, size_t size) {
    if (buffer == nullptr || size == 0) {
        return 0;
    }
    buffer[0] = '\0';
    // Stack buffers only: this runs on the failure path.
    wchar_t wide[1024];
    DWORD units = ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, static_cast<DWORD>(code), 0, wide,
                                   static_cast<DWORD>(std::size(wide)), nullptr);
    // The system's texts end with a line break.
    while (units > 0 && (wide[units - 1] == L'\n' || wide[units - 1] == L'\r')) {
        --units;
    }
    if (units == 0) {
        return 0;
    }
    char utf8[3 * std::size(wide)];
    const int bytes = ::WideCharToMultiByte(CP_UTF8, 0, wide, static_cast<int>(units), utf8,
                                            static_cast<int>(sizeof utf8), nullptr, nullptr);
    size_t length = bytes > 0 ? static_cast<size_t>(bytes) : 0;
    if (length >= size) {
        // Cut before a whole character.
        length = size - 1;
        while (length > 0 && (static_cast<unsigned char>(utf8[length]) & 0xC0) == 0x80) {
            --length;
        }
    }
    std::memcpy(buffer, utf8, length);
    buffer[length] = '\0';
    return length;
}

bool IsDebuggerAttached() {
    return ::IsDebuggerPresent() != FALSE;
}

void BreakIntoDebugger() {
    ::DebugBreak();
}

void AbortProcess() {
    // A fail-fast exception ends the process at once: no handler, unwinding or exit handler
    // runs, and an attached debugger or the error reporting sees where it came from.
    constexpr DWORD kFailFastCode = 1653;  // ERROR_FAIL_FAST_EXCEPTION
    EXCEPTION_RECORD record{};
    record.ExceptionCode = kFailFastCode;
    record.ExceptionFlags = EXCEPTION_NONCONTINUABLE;
    record.ExceptionAddress = __builtin_return_address(0);
    ::RaiseFailFastException(&record, nullptr, 0);
    // Not reached; the same end should the call ever come back.
    ::TerminateProcess(::GetCurrentProcess(), kFailFastCode);
    std::abort();
}

std::string ExecutablePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD got =
            ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (got == 0) {
            return {};
        }
        if (got < path.size()) {
            path.resize(got);
            return WideToUtf8(path);
        }
        // A result that fills the buffer was cut. Paths hold at most 32767 characters.
        if (path.size() >= 32768) {
            return {};
        }
        path.resize(path.size() * 2);
    }
}

uint64_t MemoryLimit() {
    uint64_t limit = UINT64_MAX;
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    if (::GlobalMemoryStatusEx(&status)) {
        limit = std::min<uint64_t>(status.ullTotalPhys, status.ullTotalVirtual);
    }
    // A job object (a container, a service's limits) may allow this process or all the
    // processes of its job less.
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION job{};
    if (::QueryInformationJobObject(nullptr, JobObjectExtendedLimitInformation, &job, sizeof job,
                                    nullptr)) {
        const DWORD flags = job.BasicLimitInformation.LimitFlags;
        if ((flags & JOB_OBJECT_LIMIT_PROCESS_MEMORY) != 0) {
            limit = std::min<uint64_t>(limit, job.ProcessMemoryLimit);
        }
        if ((flags & JOB_OBJECT_LIMIT_JOB_MEMORY) != 0) {
            limit = std::min<uint64_t>(limit, job.JobMemoryLimit);
        }
    }
    return limit == UINT64_MAX ? 0 : limit;
}

void AdviseHugePages(void*, size_t) {
    // Windows backs memory with large pages only when it is allocated so (VirtualAlloc with
    // MEM_LARGE_PAGES, under the lock-pages privilege); memory already allocated takes no
    // advice, so the array stays as it is.
}

std::string RuntimeDirectory() {
    wchar_t folder[MAX_PATH + 1];
    DWORD length = ::GetTempPathW(static_cast<DWORD>(std::size(folder)), folder);
    if (length == 0 || length > std::size(folder)) {
        return {};
    }
    // The answer ends with a backslash; the callers add their own separator.
    while (length > 1 && folder[length - 1] == L'\\' && folder[length - 2] != L':') {
        --length;
    }
    return WideToUtf8(std::wstring_view(folder, length));
}

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
    // argv is in the ANSI code page, which cannot hold every file name; the wide command line
    // can. Its split differs from the C runtime's only in rare runs of doubled quotes.
    int count = 0;
    LPWSTR* wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (wide == nullptr) {
        return std::vector<std::string>(argv, argv + argc);
    }
    std::vector<std::string> arguments;
    arguments.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        arguments.push_back(WideToUtf8(wide[i]));
    }
    ::LocalFree(wide);
    return arguments;
}

bool StandardErrorIsTerminal() {
    return ::_isatty(::_fileno(stderr)) != 0;
}

void IgnoreBrokenPipes() {}

}  // namespace Kor
