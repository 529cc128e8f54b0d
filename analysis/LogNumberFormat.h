#pragma once
// Numbers of the dynamics log, formatted without a stream: byte for byte what
// `std::ostream << std::setw(width) << std::setprecision(12) << value` writes in the classic
// locale (general notation as printf's "%.12g", right-aligned, space fill, no plus sign, "inf",
// "-inf", "nan" or "-nan"). A number wider than its field widens it; nothing is ever cut.

#include <cstddef>

namespace Kor {

inline constexpr int kLogNumberPrecision = 12;

// The longest text of a number: "-1.23456789012e-308".
inline constexpr std::size_t kLogNumberMaxChars = 19;

// Writes `value` in a field of `width` characters at `out` and returns the end of what it
// wrote. `out` needs room for max(width, kLogNumberMaxChars) characters; nothing is
// terminated.
char* formatLogNumber(char* out, double value, int width);

}  // namespace Kor
