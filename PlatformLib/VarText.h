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

// A number truncated toward zero to an int, saturating at the int range; NaN gives 0. Defined
// for every value a setting may hold.
int TruncateToInt(double value);

}  // namespace Kor
