#include <cwchar>

#include "PlatformLib/Utf8Path.h"
#include "PlatformLib/WideText.h"

namespace Kor {

std::filesystem::path PathFromUtf8(std::string_view utf8) {
    return std::filesystem::path(Utf8ToWide(utf8));
}

std::string PathToUtf8(const std::filesystem::path& path) {
    return WideToUtf8(path.native());
}

std::string GenericPathToUtf8(const std::filesystem::path& path) {
    return WideToUtf8(path.generic_wstring());
}

std::FILE* OpenFile(std::string_view utf8Path, const char* mode) {
    return ::_wfopen(Utf8ToWide(utf8Path).c_str(), Utf8ToWide(mode).c_str());
}

}  // namespace Kor
