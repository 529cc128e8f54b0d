#include "tools/orvane-record/RecordingFifo.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "tools/orvane-record/RecordingPipe.h"
#include "tools/orvane-record/StopSignals.h"

namespace OrvaneRecord {

std::unique_ptr<RecordingFifo> RecordingFifo::Create(const std::string& path, std::string& error) {
    if (::mkfifo(path.c_str(), 0600) != 0) {
        error = errno == EEXIST ? path +
                                      " already exists: another orvane-record may be "
                                      "recording; if none is, remove it"
                                : "cannot make " + path + ": " + std::strerror(errno);
        return nullptr;
    }
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0) {
        error = "cannot find " + path + " just made: " + std::strerror(errno);
        return nullptr;
    }
    return std::unique_ptr<RecordingFifo>(new RecordingFifo(path, status.st_dev, status.st_ino));
}

RecordingFifo::~RecordingFifo() {
    struct stat status {};
    if (::lstat(mPath.c_str(), &status) == 0 && status.st_dev == mDevice &&
        status.st_ino == mInode) {
        ::unlink(mPath.c_str());
    }
}

int RecordingFifo::OpenReadEnd(std::string& error) const {
    const int fd = ::open(mPath.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        error = "cannot open " + mPath + ": " + std::strerror(errno);
    }
    return fd;
}

namespace {

class FifoRecordingPipe final : public RecordingPipe {
public:
    FifoRecordingPipe(std::unique_ptr<StopSignals> stop, std::unique_ptr<RecordingFifo> fifo)
        : mStop(std::move(stop)), mFifo(std::move(fifo)) {}
    ~FifoRecordingPipe() override {
        if (mFd >= 0) {
            ::close(mFd);
        }
    }

    const std::string& Path() const override { return mFifo->Path(); }

    PipeRead Read(uint8_t* buffer, size_t size, std::string& error) override {
        while (!mStop->Requested()) {
            if (mFd < 0) {
                mFd = mFifo->OpenReadEnd(error);
                if (mFd < 0) {
                    return {PipeReadStatus::Failed, 0};
                }
            }
            pollfd wait{mFd, POLLIN, 0};
            if (::ppoll(&wait, 1, nullptr, mStop->WaitMask()) < 0 && errno != EINTR) {
                error = std::string("cannot wait for the pipe: ") + std::strerror(errno);
                return {PipeReadStatus::Failed, 0};
            }
            const ssize_t got = ::read(mFd, buffer, size);
            if (got > 0) {
                return {PipeReadStatus::Data, static_cast<size_t>(got)};
            }
            if (got == 0) {
                // Opened again for the next writer: this end would otherwise stay readable
                // for good.
                ::close(mFd);
                mFd = -1;
                return {PipeReadStatus::WriterGone, 0};
            }
            if (errno != EAGAIN && errno != EINTR) {
                error = std::string("cannot read the pipe: ") + std::strerror(errno);
                return {PipeReadStatus::Failed, 0};
            }
        }
        return {PipeReadStatus::Stopped, 0};
    }

    void LetStopEndProgram() override { mStop->Unblock(); }

private:
    // Destroyed last: the FIFO is removed before the signals are let through.
    std::unique_ptr<StopSignals> mStop;
    std::unique_ptr<RecordingFifo> mFifo;
    int mFd = -1;
};

}  // namespace

std::unique_ptr<RecordingPipe> RecordingPipe::Create(const std::string& path, std::string& error) {
    // Caught before the FIFO exists, so that a Ctrl+C right after it is made still removes it.
    auto stop = std::make_unique<StopSignals>();
    std::unique_ptr<RecordingFifo> fifo = RecordingFifo::Create(path, error);
    if (!fifo) {
        return nullptr;
    }
    return std::make_unique<FifoRecordingPipe>(std::move(stop), std::move(fifo));
}

}  // namespace OrvaneRecord
