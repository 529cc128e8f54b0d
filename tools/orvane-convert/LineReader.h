#pragma once
// Splits a byte source into lines, reading it in large chunks, so that memory stays the same
// whatever the size of the file. A line ends at "\n" or "\r\n" or at the end of the data; a
// UTF-8 byte-order mark before the first line is dropped.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>

namespace OrvaneConvert {

class LineReader {
public:
    // Fills up to `capacity` bytes at `into` and returns how many it filled: 0 at the end of
    // the data, -1 on a read error, with the error number in errno.
    using ReadBytes = std::function<long(char* into, std::size_t capacity)>;

    // Also the longest line kept whole.
    static constexpr std::size_t kDefaultCapacity = std::size_t{1} << 20;

    explicit LineReader(ReadBytes read, std::size_t capacity = kDefaultCapacity);

    // The next line, without its line end; valid until the next call. False at the end of the
    // data and after a read error.
    bool next(std::string_view& line);

    // The number of the line last returned, counted from 1.
    std::uint64_t lineNumber() const { return mLineNumber; }
    // True when the line last returned filled the whole capacity without an end in sight: it
    // holds the first `capacity` bytes, and the rest of the line is skipped.
    bool cutShort() const { return mCutShort; }
    // The error number of a failed read; 0 when none failed.
    int readError() const { return mReadError; }

private:
    // Moves the unread bytes to the front and reads more behind them; false when nothing more
    // came.
    bool refill();

    ReadBytes mRead;
    std::size_t mCapacity;
    std::unique_ptr<char[]> mBuffer;
    std::size_t mBegin = 0;  // the unread bytes are [mBegin, mEnd)
    std::size_t mEnd = 0;
    bool mSourceDone = false;
    bool mSkipping = false;  // inside the rest of a line that was cut short
    bool mCutShort = false;
    std::uint64_t mLineNumber = 0;
    int mReadError = 0;
};

// Reads from the open file descriptor `fd`, retrying reads that a signal interrupted.
LineReader::ReadBytes readFromDescriptor(int fd);

// Reads `bytes`, which must outlive the reader.
LineReader::ReadBytes readFromMemory(std::string_view bytes);

}  // namespace OrvaneConvert
