#pragma once
// Writes poses in Orvane's pose-file forms, so that Orvane reads back exactly the numbers
// computed:
//   Text    one pose a line: the time, then R and t as [R | t] row by row, 13 numbers
//           separated by single spaces, each in the shortest form that reads back as the
//           same double; no header, no comments;
//   Binary  104-byte little-endian records: the time, R row-major, t.
// Output is gathered in a buffer and handed on in large blocks.

#include <cstddef>
#include <functional>
#include <memory>
#include <string_view>

#include "app/PoseFileReader.h"
#include "tools/orvane-convert/PoseConversion.h"

namespace OrvaneConvert {

class PoseWriter {
public:
    // Takes a block of output; false when it could not be written.
    using WriteBytes = std::function<bool(std::string_view bytes)>;

    static constexpr std::size_t kDefaultBlockSize = std::size_t{1} << 20;

    // Blocks hand on at least `blockSize` bytes, except the last.
    PoseWriter(Kor::PoseFormat form, WriteBytes write, std::size_t blockSize = kDefaultBlockSize);

    // False once a block could not be written; nothing more is written after that.
    bool write(const OrvanePose& pose);
    // Hands on what is still buffered.
    bool finish();

private:
    bool flush();

    Kor::PoseFormat mForm;
    WriteBytes mWrite;
    std::size_t mBlockSize;
    std::unique_ptr<char[]> mBuffer;  // mBlockSize and room for one more record
    std::size_t mUsed = 0;
    bool mFailed = false;
};

}  // namespace OrvaneConvert
