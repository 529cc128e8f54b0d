#include "PlatformLib/RegularFile.h"

#include <system_error>

namespace Kor {

bool openRegularFile(std::ifstream& file, const std::filesystem::path& path,
                     std::ios::openmode mode) {
    std::error_code error;
    if (std::filesystem::is_regular_file(path, error)) {
        file.open(path, mode);
    }
    return file.is_open();
}

}  // namespace Kor
