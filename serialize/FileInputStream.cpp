#include "serialize/FileInputStream.h"

#include "PlatformLib/RegularFile.h"

namespace Kor::serialize {

// The base keeps only the address of mFile here; mFile is used once it is constructed.
FileInputStream::FileInputStream(const std::filesystem::path& path) : IOStreamInputStream(&mFile) {
    if (!openRegularFile(mFile, path, std::ios::in | std::ios::binary)) {
        mFile.setstate(std::ios::failbit);
    }
}

FileInputStream::~FileInputStream() = default;

}  // namespace Kor::serialize
