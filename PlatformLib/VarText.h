#pragma once
// Text to number as a settings value is read: leading white space skipped, an optional sign
// and the number, whatever follows ignored. No number, or one out of range, gives 0.

#include <string_view>

namespace Kor {

// White space as the classic locale, the C library's scans and text streams know it.
constexpr bool IsClassicSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

int ParseVarInt(std::string_view text);
float ParseVarFloat(std::string_view text);

}  // namespace Kor
