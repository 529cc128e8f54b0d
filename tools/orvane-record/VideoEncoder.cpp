#include "tools/orvane-record/VideoEncoder.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

extern char** environ;

namespace OrvaneRecord {

std::string FindExecutable(const std::string& name) {
    const char* path = std::getenv("PATH");
    if (path == nullptr || name.empty() || name.find('/') != std::string::npos) {
        return {};
    }
    const std::string folders = path;
    size_t start = 0;
    while (start <= folders.size()) {
        size_t end = folders.find(':', start);
        if (end == std::string::npos) {
            end = folders.size();
        }
        const std::string folder = folders.substr(start, end - start);
        const std::string candidate = (folder.empty() ? "." : folder) + "/" + name;
        struct stat status {};
        if (::stat(candidate.c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
            ::access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
        start = end + 1;
    }
    return {};
}

std::vector<std::string> FfmpegArguments(const std::string& path, uint32_t width, uint32_t height) {
    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    return {"-hide_banner", "-loglevel", "error", "-nostats",
            // The frames as the pipe carries them.
            "-f", "rawvideo", "-pixel_format", "bgr24", "-video_size", size, "-framerate", "30",
            "-i", "pipe:0",
            // Rows come bottom-up. Players want 4:2:0 colour, which needs even sides: an odd
            // side gets one black line.
            "-vf", "vflip,pad=ceil(iw/2)*2:ceil(ih/2)*2,format=yuv420p", "-y", path};
}

VideoEncoder::~VideoEncoder() {
    std::string ignored;
    Finish(ignored);
}

bool VideoEncoder::Start(const std::string& ffmpeg, const std::string& path, uint32_t width,
                         uint32_t height, std::string& error) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        error = std::string("cannot make a pipe to ffmpeg: ") + std::strerror(errno);
        return false;
    }
    std::vector<std::string> arguments = FfmpegArguments(path, width, height);
    arguments.insert(arguments.begin(), ffmpeg);
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[0], 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    // Its own process group: Ctrl+C in the terminal stops the recorder, which then ends the
    // input so that ffmpeg finishes the file. Signals as a fresh program has them.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none, defaults;
    sigemptyset(&none);
    sigemptyset(&defaults);
    for (int signal : {SIGINT, SIGTERM, SIGPIPE}) {
        sigaddset(&defaults, signal);
    }
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setflags(
        &attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    pid_t pid = -1;
    const int failed =
        ::posix_spawn(&pid, ffmpeg.c_str(), &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[0]);
    if (failed != 0) {
        ::close(fds[1]);
        error = "cannot start " + ffmpeg + ": " + std::strerror(failed);
        return false;
    }
    mPid = pid;
    mInput = fds[1];
    mWidth = width;
    mHeight = height;
    mPath = path;
    return true;
}

bool VideoEncoder::Write(const uint8_t* frame, size_t size, std::string& error) {
    while (size > 0 && mInput >= 0) {
        const ssize_t written = ::write(mInput, frame, size);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            error = "ffmpeg stopped taking frames for " + mPath;
            return false;
        }
        frame += written;
        size -= static_cast<size_t>(written);
    }
    return mInput >= 0;
}

bool VideoEncoder::Finish(std::string& error) {
    if (mPid <= 0) {
        return true;
    }
    ::close(mInput);
    mInput = -1;
    int status = 0;
    while (::waitpid(mPid, &status, 0) < 0 && errno == EINTR) {
    }
    mPid = -1;
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) {
        return true;
    }
    error = "ffmpeg could not make " + mPath +
            (WIFEXITED(status) ? " (exit status " + std::to_string(WEXITSTATUS(status)) + ")"
                               : " (ended by signal " + std::to_string(WTERMSIG(status)) + ")");
    return false;
}

}  // namespace OrvaneRecord
