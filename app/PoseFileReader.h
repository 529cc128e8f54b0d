#pragma once
// Reads the records of a pose file: a time and a world-to-body transform (R, t) each, as text
// (13 numbers separated by white space) or as 104-byte little-endian binary records.

#include <cstdint>
#include <istream>
#include <memory>
#include <optional>
#include <string>

#include "analysis/Types.h"
#include "serialize/DecimalScanner.h"
#include "serialize/IOStreamInputStream.h"

namespace Kor {

enum class PoseFormat { Text = 1, Binary = 2 };

// Binary when the last four characters, ASCII letters folded to lower case, are ".bin" or
// ".dat"; text otherwise.
PoseFormat poseFormatOf(const std::string& path);

class PoseFileReader {
public:
    // Bytes of one binary record: the time, R row-major, t.
    static constexpr std::uint64_t kBinaryRecordSize = 13 * sizeof(double);

    // Drops the current file and opens `path` in the format its name gives. Only regular files
    // open; anything else reads as a file that cannot be opened.
    bool open(const std::string& path);

    // Reads from `source` in `format`, as if it were an opened file (in-memory data, say).
    void attach(std::unique_ptr<std::istream> source, PoseFormat format);

    PoseFormat format() const { return mFormat; }

    // The next record, or false at the end of the data or on any error, after which every
    // further call is false. A text record is made orthonormal; a binary record is used as
    // stored, and a partial one at the end is ignored.
    bool readNext(double& time, Mat3& R, Vec3& t);

    // The records the rest of the data holds: for binary exactly (whole records); for text
    // as many as the bytes left hold at the mean length of the `recordsRead` records read so
    // far, and never more than they could hold at all. None when the size of the data is
    // unknown (a pipe), and for text before the first record.
    std::optional<std::uint64_t> recordsAhead(std::uint64_t recordsRead);

    // The shortest a text record can be: 13 one-digit numbers and the white space after each.
    static constexpr std::uint64_t kShortestTextRecord = 26;

private:
    std::unique_ptr<std::istream> mFile;
    std::unique_ptr<serialize::IOStreamInputStream> mBinary;  // over mFile, binary only
    std::unique_ptr<serialize::DecimalScanner> mScanner;      // over mFile's buffer, text only
    std::uint64_t mTextBytes = 0;                             // from where the scanner starts
    PoseFormat mFormat = PoseFormat::Text;
};

}  // namespace Kor
