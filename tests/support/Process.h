#pragma once
// Runs a real program as a child process and collects what it wrote and how it ended.

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace OrvaneTest {

struct ProcessResult {
    std::string out;  // everything written to standard output
    std::string err;  // everything written to standard error
    int status = -1;  // exit status, or 128 + signal number when killed by a signal (POSIX)
    bool timedOut = false;
    long peakResidentKiB = 0;  // the largest resident set the program had
};

struct ProcessOptions {
    std::string workingDirectory;                             // empty: the test's own
    std::vector<std::pair<std::string, std::string>> setEnv;  // added or replaced
    std::vector<std::string> unsetEnv;                        // removed
    std::string input;                                        // fed to standard input
    std::chrono::milliseconds timeout{60000};
    std::function<void(int pid)> started;  // called once the child runs, to signal it, say
};

// argv[0] is the program path; no shell is involved, so arguments reach it byte for byte.
ProcessResult runProcess(const std::vector<std::string>& argv, const ProcessOptions& options = {});

// The built orvane executable with the given arguments.
ProcessResult runOrvane(const std::vector<std::string>& args, const ProcessOptions& options = {});

}  // namespace OrvaneTest
