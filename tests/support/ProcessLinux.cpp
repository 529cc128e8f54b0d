#include "tests/support/Process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

extern char** environ;

namespace OrvaneTest {
namespace {

void closeFd(int& fd) {
    if (fd >= 0) {
        ::close(fd);
        fd = -1;
    }
}

[[noreturn]] void execChild(const std::vector<std::string>& argv, const ProcessOptions& options,
                            int in, int out, int err) {
    ::dup2(in, 0);
    ::dup2(out, 1);
    ::dup2(err, 2);
    if (!options.workingDirectory.empty() && ::chdir(options.workingDirectory.c_str()) != 0) {
        _exit(126);
    }
    for (const auto& name : options.unsetEnv) {
        ::unsetenv(name.c_str());
    }
    for (const auto& [name, value] : options.setEnv) {
        ::setenv(name.c_str(), value.c_str(), 1);
    }
    std::vector<char*> args;
    for (const auto& a : argv) {
        args.push_back(const_cast<char*>(a.c_str()));
    }
    args.push_back(nullptr);
    ::execve(args[0], args.data(), environ);
    _exit(127);
}

}  // namespace

ProcessResult runProcess(const std::vector<std::string>& argv, const ProcessOptions& options) {
    if (argv.empty()) {
        throw std::invalid_argument("runProcess needs a program");
    }
    int inPipe[2], outPipe[2], errPipe[2];
    if (::pipe2(inPipe, O_CLOEXEC) != 0 || ::pipe2(outPipe, O_CLOEXEC) != 0 ||
        ::pipe2(errPipe, O_CLOEXEC) != 0) {
        throw std::runtime_error(std::string("pipe: ") + std::strerror(errno));
    }
    pid_t pid = ::fork();
    if (pid < 0) {
        throw std::runtime_error(std::string("fork: ") + std::strerror(errno));
    }
    if (pid == 0) {
        execChild(argv, options, inPipe[0], outPipe[1], errPipe[1]);
    }
    if (options.started) {
        options.started(pid);
    }
    ::close(inPipe[0]);
    ::close(outPipe[1]);
    ::close(errPipe[1]);
    int inFd = inPipe[1], outFd = outPipe[0], errFd = errPipe[0];
    ::fcntl(inFd, F_SETFL, O_NONBLOCK);
    if (options.input.empty()) {
        closeFd(inFd);
    }

    // Standard output and error are drained together so that neither pipe can fill up and
    // stall the child while we wait on the other.
    ProcessResult result;
    size_t written = 0;
    const auto deadline = std::chrono::steady_clock::now() + options.timeout;
    signal(SIGPIPE, SIG_IGN);
    while (outFd >= 0 || errFd >= 0) {
        pollfd fds[3];
        int n = 0;
        int outIndex = -1, errIndex = -1, inIndex = -1;
        if (outFd >= 0) {
            outIndex = n;
            fds[n++] = {outFd, POLLIN, 0};
        }
        if (errFd >= 0) {
            errIndex = n;
            fds[n++] = {errFd, POLLIN, 0};
        }
        if (inFd >= 0) {
            inIndex = n;
            fds[n++] = {inFd, POLLOUT, 0};
        }
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            result.timedOut = true;
            ::kill(pid, SIGKILL);
            break;
        }
        int ready = ::poll(fds, n, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        char buffer[65536];
        auto drain = [&](int index, int& fd, std::string& sink) {
            if (index < 0 || !(fds[index].revents & (POLLIN | POLLHUP | POLLERR))) {
                return;
            }
            ssize_t got = ::read(fd, buffer, sizeof buffer);
            if (got > 0) {
                sink.append(buffer, static_cast<size_t>(got));
            } else if (got == 0 || errno != EINTR) {
                closeFd(fd);
            }
        };
        drain(outIndex, outFd, result.out);
        drain(errIndex, errFd, result.err);
        if (inIndex >= 0 && (fds[inIndex].revents & (POLLOUT | POLLERR | POLLHUP))) {
            ssize_t put =
                ::write(inFd, options.input.data() + written, options.input.size() - written);
            if (put > 0) {
                written += static_cast<size_t>(put);
            }
            if (put < 0 || written == options.input.size()) {
                closeFd(inFd);
            }
        }
    }
    closeFd(inFd);
    closeFd(outFd);
    closeFd(errFd);
    int wstatus = 0;
    rusage usage{};
    while (::wait4(pid, &wstatus, 0, &usage) < 0 && errno == EINTR) {
    }
    result.peakResidentKiB = usage.ru_maxrss;
    if (WIFEXITED(wstatus)) {
        result.status = WEXITSTATUS(wstatus);
    } else if (WIFSIGNALED(wstatus)) {
        result.status = 128 + WTERMSIG(wstatus);
    }
    return result;
}

}  // namespace OrvaneTest
