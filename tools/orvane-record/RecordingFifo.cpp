#include "tools/orvane-record/RecordingFifo.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

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

}  // namespace OrvaneRecord
