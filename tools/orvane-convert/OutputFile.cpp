#include "tools/orvane-convert/OutputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace OrvaneConvert {

namespace {

// The permissions a newly created file gets: 0666 less the process's umask.
mode_t newFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

}  // namespace

OutputFile::~OutputFile() {
    discard();
}

void OutputFile::fail(const std::string& what) {
    mError = what + ": " + std::strerror(errno);
}

bool OutputFile::open(const std::string& path) {
    mPath = path;
    if (path == "-") {
        mFd = STDOUT_FILENO;
        mInPlace = true;
        return true;
    }
    // Through a symbolic link, the file it names is replaced, not the link.
    std::filesystem::path target = path;
    std::error_code ignored;
    if (std::filesystem::is_symlink(target, ignored)) {
        const std::filesystem::path resolved = std::filesystem::weakly_canonical(target, ignored);
        if (!ignored) {
            target = resolved;
        }
    }
    struct stat existing;
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists && !S_ISREG(existing.st_mode)) {
        if (S_ISDIR(existing.st_mode)) {
            errno = EISDIR;
            fail("cannot write " + path);
            return false;
        }
        mFd = ::open(target.c_str(), O_WRONLY | O_CLOEXEC);
        mOwnsFd = mFd >= 0;
        mInPlace = true;
        if (!mOwnsFd) {
            fail("cannot write " + path);
        }
        return mOwnsFd;
    }
    // A file the user may not write is not replaced behind its back.
    if (exists && ::access(target.c_str(), W_OK) != 0) {
        fail("cannot write " + path);
        return false;
    }
    // Hidden, beside the output, so that the rename stays within one file system.
    std::string pattern =
        (target.parent_path() / ("." + target.filename().string() + ".XXXXXX")).string();
    mFd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (mFd < 0) {
        fail("cannot create " + path);
        return false;
    }
    mOwnsFd = true;
    mTemporary = pattern;
    mTarget = target.string();
    // The replaced file keeps its permissions, as it would when written over.
    if (::fchmod(mFd, exists ? existing.st_mode & 07777 : newFileMode()) != 0) {
        fail("cannot create " + path);
        discard();
        return false;
    }
    return true;
}

bool OutputFile::write(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t wrote = ::write(mFd, bytes.data(), bytes.size());
        if (wrote < 0) {
            if (errno == EINTR) {
                continue;
            }
            fail("cannot write " + mPath);
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(wrote));
    }
    return true;
}

bool OutputFile::commit() {
    if (mOwnsFd) {
        const int fd = mFd;
        mFd = -1;
        mOwnsFd = false;
        // A file system may report a failed write only when the file is closed.
        if (::close(fd) != 0) {
            fail("cannot write " + mPath);
            discard();
            return false;
        }
    }
    if (!mTemporary.empty()) {
        if (::rename(mTemporary.c_str(), mTarget.c_str()) != 0) {
            fail("cannot replace " + mPath);
            discard();
            return false;
        }
        mTemporary.clear();
    }
    return true;
}

void OutputFile::discard() {
    if (mOwnsFd) {
        ::close(mFd);
        mOwnsFd = false;
    }
    mFd = -1;
    if (!mTemporary.empty()) {
        ::unlink(mTemporary.c_str());
        mTemporary.clear();
    }
}

}  // namespace OrvaneConvert
