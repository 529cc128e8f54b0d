#pragma once
// A pose file of random poses written once per benchmark run and removed at exit: text with a
// given number of significant digits, or binary records.

#include <cstdint>
#include <string>

namespace OrvaneBench {

class PoseFile {
public:
    // digits > 0: text, one record of 13 numbers per line; digits == 0: 104-byte records.
    PoseFile(int digits, std::int64_t records);
    ~PoseFile();
    PoseFile(const PoseFile&) = delete;
    PoseFile& operator=(const PoseFile&) = delete;

    // The path ends in ".txt" or ".bin", as the pose reader expects.
    const std::string& path() const { return mPath; }
    std::int64_t records() const { return mRecords; }
    std::int64_t bytes() const { return mBytes; }

private:
    std::string mPath;
    std::int64_t mRecords;
    std::int64_t mBytes = 0;
};

}  // namespace OrvaneBench
