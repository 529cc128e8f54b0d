#pragma once
// What the tests need from the system and ask differently on POSIX and on Windows.

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace OrvaneTest {

// Sets or replaces a variable of this process's environment.
inline void setEnv(const std::string& name, const std::string& value) {
#ifdef _WIN32
    ::_putenv_s(name.c_str(), value.c_str());
#else
    ::setenv(name.c_str(), value.c_str(), 1);
#endif
}

// How a death test's process ends when it fails fast: by the abort signal on POSIX, by a
// fail-fast exception on Windows, whose status Windows reports as a stack buffer overrun
// (0xC0000409) and Wine as STATUS_FAIL_FAST_EXCEPTION (0xC0000602).
inline auto FailedFast() {
#ifdef _WIN32
    return [](int status) {
        return status == static_cast<int>(0xC0000409) || status == static_cast<int>(0xC0000602);
    };
#else
    return ::testing::KilledBySignal(SIGABRT);
#endif
}

// Text as orvane writes it in text mode (standard output and error, the dynamics log): every
// line feed becomes the platform's line end, CR LF on Windows.
inline std::string textMode(const std::string& text) {
#ifdef _WIN32
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (const char c : text) {
        if (c == '\n') {
            out.push_back('\r');
        }
        out.push_back(c);
    }
    return out;
#else
    return text;
#endif
}

// Paths of things that are not regular files and that a reader must neither open nor wait on:
// a folder, a missing file and the system's devices, and on POSIX a FIFO without a writer,
// made in `dir`.
inline std::vector<std::filesystem::path> notRegularFiles(const std::filesystem::path& dir) {
    std::vector<std::filesystem::path> paths = {dir, dir / "missing.dat"};
#ifdef _WIN32
    // The console would wait for a key.
    for (const char* device : {"NUL", "CON", "CONIN$"}) {
        paths.emplace_back(device);
    }
#else
    const std::filesystem::path fifo = dir / "fifo.txt";
    EXPECT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    paths.push_back(fifo);
    paths.emplace_back("/dev/null");
    paths.emplace_back("/dev/zero");
#endif
    return paths;
}

}  // namespace OrvaneTest
