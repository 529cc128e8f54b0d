#include "tools/orvane-convert/LineReader.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace OrvaneConvert {

LineReader::LineReader(ReadBytes read, std::size_t capacity)
    : mRead(std::move(read)),
      mCapacity(capacity > 0 ? capacity : 1),
      mBuffer(std::make_unique_for_overwrite<char[]>(mCapacity)) {}

bool LineReader::refill() {
    if (mSourceDone) {
        return false;
    }
    std::memmove(mBuffer.get(), mBuffer.get() + mBegin, mEnd - mBegin);
    mEnd -= mBegin;
    mBegin = 0;
    errno = 0;
    const long got = mRead(mBuffer.get() + mEnd, mCapacity - mEnd);
    if (got <= 0) {
        mReadError = got < 0 ? (errno != 0 ? errno : EIO) : 0;
        mSourceDone = true;
        return false;
    }
    mEnd += static_cast<std::size_t>(got);
    return true;
}

bool LineReader::next(std::string_view& line) {
    if (mReadError != 0) {
        return false;
    }
    while (mSkipping) {
        const void* end = std::memchr(mBuffer.get() + mBegin, '\n', mEnd - mBegin);
        if (end != nullptr) {
            mBegin = static_cast<std::size_t>(static_cast<const char*>(end) - mBuffer.get()) + 1;
            mSkipping = false;
        } else {
            mBegin = mEnd;
            if (!refill()) {
                return false;
            }
        }
    }
    std::size_t searched = mBegin;
    while (true) {
        const char* data = mBuffer.get();
        const void* end = std::memchr(data + searched, '\n', mEnd - searched);
        std::size_t length;
        if (end != nullptr) {
            length = static_cast<std::size_t>(static_cast<const char*>(end) - data) - mBegin;
            mCutShort = false;
        } else if (mEnd - mBegin == mCapacity) {
            length = mCapacity;
            mCutShort = true;
            mSkipping = true;
        } else {
            searched = mEnd - mBegin;  // where the search goes on after the refill
            if (refill()) {
                continue;
            }
            if (mReadError != 0 || mEnd == mBegin) {
                return false;
            }
            length = mEnd - mBegin;  // the last line has no line end
            mCutShort = false;
        }
        line = std::string_view(mBuffer.get() + mBegin, length);
        mBegin += length + (end != nullptr ? 1 : 0);
        if (mSkipping) {
            mBegin = mEnd;
        }
        break;
    }
    if (!mCutShort && !line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    if (mLineNumber == 0 && line.substr(0, 3) == "\xEF\xBB\xBF") {
        line.remove_prefix(3);
    }
    ++mLineNumber;
    return true;
}

LineReader::ReadBytes readFromDescriptor(int fd) {
    return [fd](char* into, std::size_t capacity) -> long {
        while (true) {
            const ssize_t got = ::read(fd, into, capacity);
            if (got >= 0 || errno != EINTR) {
                return static_cast<long>(got);
            }
        }
    };
}

LineReader::ReadBytes readFromMemory(std::string_view bytes) {
    return [bytes](char* into, std::size_t capacity) mutable -> long {
        const std::size_t count = bytes.copy(into, capacity);
        bytes.remove_prefix(count);
        return static_cast<long>(count);
    };
}

}  // namespace OrvaneConvert
