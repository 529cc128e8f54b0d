#pragma once
// An abstract byte source for binary data. Reads never throw: a stream is either good or
// failed, every operation reports through its result and that state, and a reader checks the
// state after a group of reads.

#include <cstddef>
#include <cstdint>

namespace Kor::serialize {

class InputStream {
public:
    virtual ~InputStream() = default;

    // Reads exactly `count` raw bytes into `buffer`; false when fewer were available.
    virtual bool read(void* buffer, std::size_t count) = 0;
    // Current byte position from the start; all bits set when it cannot be told.
    virtual std::uint64_t tell() = 0;
    // Clears the state and moves to an absolute byte position; true when good afterwards.
    virtual bool seek(std::uint64_t position) = 0;
    // True when no byte is left to read.
    virtual bool atEnd() = 0;
    virtual bool good() = 0;
    // Skips up to `count` bytes (fewer at the end of the data); true when the position moved.
    virtual bool skip(std::uint64_t count) = 0;
    virtual void setFailed() = 0;
    // An upper bound of the bytes that a good stream can still deliver: 0 once failed,
    // kUnknownSize when the source cannot tell (a pipe). Lets a reader refuse a count that the
    // data cannot back before it allocates for it.
    virtual std::uint64_t remaining() = 0;

    static constexpr std::uint64_t kUnknownSize = UINT64_MAX;

protected:
    InputStream() = default;
    InputStream(const InputStream&) = default;
    InputStream& operator=(const InputStream&) = default;
};

}  // namespace Kor::serialize
