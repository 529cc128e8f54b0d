#pragma once
// The fields of one line of a trajectory file and the numbers in them. Every failure comes
// back as a reason a user can act on, naming the column and quoting what it held.

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace OrvaneConvert {

// Splits at runs of blanks (space, tab, vertical tab, form feed, carriage return) and stores
// the first fields.size() words; returns how many words the line holds, which may be more.
std::size_t splitWords(std::string_view line, std::span<std::string_view> fields);

// Splits at commas and trims blanks around each field; stores the first fields.size() fields
// and returns how many the line holds.
std::size_t splitCommas(std::string_view line, std::span<std::string_view> fields);

// The whole of `text` as a decimal number ("-1.5", "+2e-3", ".5"), correctly rounded: what C's
// strtod reads, without leading blanks, hexadecimal or trailing characters. Overflow gives
// +-infinity and underflow zero or a subnormal; "inf" and "nan" are numbers too, so callers
// test finiteness where it matters.
bool parseNumber(std::string_view text, double& value);

// `text` in single quotes, at most 32 characters of it, bytes outside printable ASCII as \xNN,
// so that a reason quoting a binary file stays one readable line.
std::string quotedField(std::string_view text);

// Reads fields[k] into values[k] for every k, as finite numbers. On failure `reason` names
// the column, such as "ty 'abc' is not a number".
bool parseFiniteNumbers(std::span<const std::string_view> fields,
                        std::span<const char* const> names, double* values, std::string& reason);

}  // namespace OrvaneConvert
