#include <windows.h>
// After windows.h, which it needs.
#include <psapi.h>

#include <cwctype>
#include <stdexcept>
#include <thread>

#include "PlatformLib/WideText.h"
#include "tests/support/Process.h"

namespace OrvaneTest {
namespace {

using Kor::Utf8ToWide;

// One word of a command line as the C runtime and CommandLineToArgvW split it again: quoted
// when it holds a blank or a quote (or is empty), a quote escaped by a backslash, and
// backslashes doubled where a quote follows them.
std::wstring quoted(const std::wstring& word) {
    if (!word.empty() && word.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
        return word;
    }
    std::wstring out = L"\"";
    size_t backslashes = 0;
    for (const wchar_t c : word) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        out.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        out.push_back(c);
    }
    out.append(2 * backslashes, L'\\');
    out.push_back(L'"');
    return out;
}

bool sameName(const std::wstring& entry, const std::wstring& name) {
    // Names of environment variables ignore case on Windows.
    if (entry.size() <= name.size() || entry[name.size()] != L'=') {
        return false;
    }
    for (size_t i = 0; i < name.size(); ++i) {
        if (std::towupper(entry[i]) != std::towupper(name[i])) {
            return false;
        }
    }
    return true;
}

// This process's environment with the options' changes, as CreateProcessW takes it.
std::wstring environmentBlock(const ProcessOptions& options) {
    std::vector<std::wstring> entries;
    if (wchar_t* block = ::GetEnvironmentStringsW()) {
        for (const wchar_t* entry = block; *entry != L'\0'; entry += wcslen(entry) + 1) {
            entries.emplace_back(entry);
        }
        ::FreeEnvironmentStringsW(block);
    }
    auto remove = [&](const std::wstring& name) {
        std::erase_if(entries, [&](const std::wstring& entry) { return sameName(entry, name); });
    };
    for (const std::string& name : options.unsetEnv) {
        remove(Utf8ToWide(name));
    }
    for (const auto& [name, value] : options.setEnv) {
        remove(Utf8ToWide(name));
        entries.push_back(Utf8ToWide(name) + L"=" + Utf8ToWide(value));
    }
    std::wstring block;
    for (const std::wstring& entry : entries) {
        block += entry;
        block.push_back(L'\0');
    }
    block.push_back(L'\0');
    return block;
}

struct Handle {
    HANDLE value = nullptr;
    Handle() = default;
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() { close(); }
    void close() {
        if (value != nullptr && value != INVALID_HANDLE_VALUE) {
            ::CloseHandle(value);
        }
        value = nullptr;
    }
};

// A pipe whose `child` end the child inherits.
void makePipe(Handle& read, Handle& write, bool childReads) {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    if (!::CreatePipe(&read.value, &write.value, &inherit, 0)) {
        throw std::runtime_error("CreatePipe failed");
    }
    ::SetHandleInformation(childReads ? write.value : read.value, HANDLE_FLAG_INHERIT, 0);
}

void drain(HANDLE pipe, std::string& sink) {
    char buffer[65536];
    DWORD got = 0;
    while (::ReadFile(pipe, buffer, sizeof buffer, &got, nullptr) && got > 0) {
        sink.append(buffer, got);
    }
}

}  // namespace

ProcessResult runProcess(const std::vector<std::string>& argv, const ProcessOptions& options) {
    if (argv.empty()) {
        throw std::invalid_argument("runProcess needs a program");
    }
    std::wstring commandLine;
    for (const std::string& word : argv) {
        commandLine += (commandLine.empty() ? L"" : L" ") + quoted(Utf8ToWide(word));
    }
    std::wstring environment = environmentBlock(options);
    const std::wstring program = Utf8ToWide(argv[0]);
    const std::wstring folder = Utf8ToWide(options.workingDirectory);

    Handle inRead, inWrite, outRead, outWrite, errRead, errWrite;
    makePipe(inRead, inWrite, true);
    makePipe(outRead, outWrite, false);
    makePipe(errRead, errWrite, false);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = inRead.value;
    startup.hStdOutput = outWrite.value;
    startup.hStdError = errWrite.value;
    PROCESS_INFORMATION child{};
    if (!::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                          CREATE_UNICODE_ENVIRONMENT | CREATE_NO_WINDOW, environment.data(),
                          folder.empty() ? nullptr : folder.c_str(), &startup, &child)) {
        throw std::runtime_error("CreateProcessW failed for " + argv[0] + ": error " +
                                 std::to_string(::GetLastError()));
    }
    Handle process, thread;
    process.value = child.hProcess;
    thread.value = child.hThread;
    inRead.close();
    outWrite.close();
    errWrite.close();
    if (options.started) {
        options.started(static_cast<int>(child.dwProcessId));
    }

    // Both outputs are drained at once so that neither pipe can fill up and stall the child;
    // the input is fed meanwhile.
    ProcessResult result;
    std::thread out([&] { drain(outRead.value, result.out); });
    std::thread err([&] { drain(errRead.value, result.err); });
    std::thread in([&] {
        DWORD put = 0;
        for (size_t written = 0; written < options.input.size(); written += put) {
            const DWORD chunk =
                static_cast<DWORD>(std::min<size_t>(options.input.size() - written, 1 << 20));
            if (!::WriteFile(inWrite.value, options.input.data() + written, chunk, &put, nullptr)) {
                break;
            }
        }
        inWrite.close();
    });
    const auto timeout = static_cast<DWORD>(options.timeout.count());
    if (::WaitForSingleObject(process.value, timeout) == WAIT_TIMEOUT) {
        result.timedOut = true;
        ::TerminateProcess(process.value, 1);
        ::WaitForSingleObject(process.value, INFINITE);
    }
    in.join();
    out.join();
    err.join();
    DWORD status = 0;
    ::GetExitCodeProcess(process.value, &status);
    result.status = static_cast<int>(status);
    PROCESS_MEMORY_COUNTERS memory{};
    if (::GetProcessMemoryInfo(process.value, &memory, sizeof memory)) {
        result.peakResidentKiB = static_cast<long>(memory.PeakWorkingSetSize / 1024);
    }
    return result;
}

}  // namespace OrvaneTest
