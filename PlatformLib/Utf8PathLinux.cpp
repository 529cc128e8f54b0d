#include "PlatformLib/Utf8Path.h"

namespace Kor {

// Linux paths are byte strings: every byte passes unchanged, UTF-8 or not.

std::filesystem::path PathFromUtf8(std::string_view utf8) {
    return std::filesystem::path(std::string(utf8));
}

std::string PathToUtf8(const std::filesystem::path& path) {
    return path.native();
}

std::string GenericPathToUtf8(const std::filesystem::path& path) {
    return path.generic_string();
}

std::FILE* OpenFile(std::string_view utf8Path, const char* mode) {
    return std::fopen(std::string(utf8Path).c_str(), mode);
}

}  // namespace Kor
