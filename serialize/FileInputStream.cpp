#include "serialize/FileInputStream.h"

#include <system_error>

namespace Kor::serialize {

// The base keeps only the address of mFile here; mFile is used once it is constructed.
FileInputStream::FileInputStream(const std::filesystem::path& path) : IOStreamInputStream(&mFile) {
    std::error_code error;
    if (std::filesystem::is_regular_file(path, error)) {
        mFile.open(path, std::ios::in | std::ios::binary);
    }
    if (!mFile.is_open()) {
        mFile.setstate(std::ios::failbit);
    }
}

FileInputStream::~FileInputStream() = default;

}  // namespace Kor::serialize
