#pragma once
// Paths are UTF-8 strings everywhere in the program; these functions are where such a string
// meets the system's paths. Where paths are byte strings (Linux) that is byte for byte. On
// Windows paths are UTF-16: a std::filesystem::path made from a narrow string would read it
// in the ANSI code page there, and std::fopen would too.

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

namespace Kor {

// The system's path for a UTF-8 path. A byte sequence that is not UTF-8 (which no command
// line of Windows can hold) becomes U+FFFD there.
std::filesystem::path PathFromUtf8(std::string_view utf8);

// The UTF-8 text of a path, with the system's separators or with '/' only.
std::string PathToUtf8(const std::filesystem::path& path);
std::string GenericPathToUtf8(const std::filesystem::path& path);

// std::fopen for a UTF-8 path.
std::FILE* OpenFile(std::string_view utf8Path, const char* mode);

}  // namespace Kor
