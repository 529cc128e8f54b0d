#pragma once
// Reads decimal numbers from a byte source exactly as `std::istream >> double` reads them in
// the classic locale, without a stream extraction per number: the same values, the same
// failures, the same stopping point and the same end-of-data state, for every input.
//
// That means, as in libstdc++: leading white space is skipped; a number is an optional sign,
// digits with at most one '.', and an exponent ("e" or "E", optional sign, digits) accepted
// only after a digit; reading stops at the first byte that cannot continue it and leaves that
// byte unread. A bare sign, ".", "1e" or "1e+" fails with the value 0; an overflow fails with
// the value +-DBL_MAX; an underflow succeeds with the correctly rounded (possibly zero or
// subnormal) value; "inf", "nan" and letters fail with 0 without reading them; "0x1p3" reads
// as 0 and stops at the "x". When only white space is left the extraction fails and leaves
// the value alone. After a failure or the end of the data every further extraction fails.
//
// The source is read in chunks of a fixed size, so memory does not grow with the size of the
// data; a number may straddle chunks, and even an endless digit string takes bounded memory.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <streambuf>

namespace Kor::serialize {

class DecimalScanner {
public:
    static constexpr std::size_t kDefaultChunkSize = 64 * 1024;

    // `source` must outlive the scanner. The scanner reads ahead, so bytes after the last
    // number extracted may already have been taken from the source; position() tells how far
    // the extractions themselves got.
    explicit DecimalScanner(std::streambuf& source, std::size_t chunkSize = kDefaultChunkSize);

    // Like `stream >> value`; returns !fail().
    bool extract(double& value);

    // The stream state that the same extractions would have left.
    bool good() const { return mState == 0; }
    bool fail() const { return (mState & (kFailBit | kBadBit)) != 0; }
    bool eof() const { return (mState & kEofBit) != 0; }
    // A read error of the source, which a stream reports as badbit.
    bool bad() const { return (mState & kBadBit) != 0; }

    // Bytes of the source that the extractions have taken.
    std::uint64_t position() const {
        return mBufferStart + static_cast<std::uint64_t>(mNext - mBuffer.get());
    }

private:
    static constexpr unsigned kEofBit = 1;
    static constexpr unsigned kFailBit = 2;
    static constexpr unsigned kBadBit = 4;

    // Replaces the exhausted buffer by the next chunk; false at the end of the data.
    bool refill();
    // The next byte, refilling as needed, or -1 at the end of the data.
    int peekByte() {
        if (mNext == mEnd && !refill()) {
            return -1;
        }
        return static_cast<unsigned char>(*mNext);
    }
    // Reads a number that reaches the end of the buffer, byte by byte across chunks.
    bool extractAcrossChunks(double& value);

    std::streambuf* mSource;
    std::size_t mChunkSize;
    // A chunk, a terminator after the data that stops every scanning loop, and a few bytes
    // that the scan may look at beyond it.
    std::unique_ptr<char[]> mBuffer;
    const char* mNext;
    const char* mEnd;
    // Source position of the first byte in the buffer.
    std::uint64_t mBufferStart = 0;
    bool mSourceDone = false;
    bool mReadError = false;
    unsigned mState = 0;
};

}  // namespace Kor::serialize
