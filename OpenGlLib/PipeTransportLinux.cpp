// The recording pipe on Linux: a FIFO that the reading process made. It is opened without
// creating anything and without following links, and only a FIFO of this user is accepted: in
// /tmp any user can put something at the name. Without a reader the non-blocking open fails
// (ENXIO), so the frame loop never waits for one; once open, writes block.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "OpenGlLib/PipeTransport.h"
#include "PlatformLib/Process.h"

namespace Kor {

namespace {

// Why the thing at the name is not a pipe to write to, 0 when it is one of ours.
uint32_t refusal(const struct stat& status) {
    if (S_ISLNK(status.st_mode)) {
        return ELOOP;
    }
    if (!S_ISFIFO(status.st_mode)) {
        return EINVAL;
    }
    return status.st_uid == ::geteuid() ? 0 : EACCES;
}

PipeOpenResult failed(uint32_t error) {
    return {PipeOpenStatus::Failed, kNoPipe, error};
}

class FifoTransport final : public PipeTransport {
public:
    explicit FifoTransport(std::string path) : mPath(std::move(path)) {
        // A reader that goes away must be a failed write, not the end of the program.
        IgnoreBrokenPipes();
    }

    PipeOpenResult Open() override {
        // Looked at first so that a file or device at the name is not even opened.
        struct stat status {};
        if (::lstat(mPath.c_str(), &status) != 0) {
            return failed(static_cast<uint32_t>(errno));
        }
        if (const uint32_t error = refusal(status); error != 0) {
            return failed(error);
        }
        const int fd =
            ::open(mPath.c_str(), O_WRONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY);
        if (fd < 0) {
            return failed(static_cast<uint32_t>(errno));
        }
        // The name may have been replaced since the look.
        uint32_t error = ::fstat(fd, &status) == 0 ? refusal(status) : static_cast<uint32_t>(errno);
        if (error != 0) {
            ::close(fd);
            return failed(error);
        }
        return {PipeOpenStatus::Opened, fd, 0};
    }

    // Any number of writers may open a FIFO, so Open never answers Busy.
    bool WaitUntilFree(uint32_t) override { return false; }

    uint32_t SetWriteMode(PipeHandle handle) override {
        const int fd = static_cast<int>(handle);
        const int flags = ::fcntl(fd, F_GETFL);
        if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
            return static_cast<uint32_t>(errno);
        }
        return 0;
    }

    PipeWriteResult Write(PipeHandle handle, const uint8_t* data, size_t size) override {
        const ssize_t written = ::write(static_cast<int>(handle), data, size);
        if (written > 0) {
            return {PipeWriteStatus::Wrote, static_cast<size_t>(written), 0};
        }
        if (written < 0 && errno == EINTR) {
            return {PipeWriteStatus::Interrupted, 0, 0};
        }
        return {PipeWriteStatus::Failed, 0, written < 0 ? static_cast<uint32_t>(errno) : EIO};
    }

    // On Linux the descriptor is gone after close even when it reports EINTR: no retry.
    void Close(PipeHandle handle) override { ::close(static_cast<int>(handle)); }

private:
    std::string mPath;
};

}  // namespace

std::unique_ptr<PipeTransport> MakeSystemPipeTransport(std::string name) {
    return std::make_unique<FifoTransport>(std::move(name));
}

}  // namespace Kor
