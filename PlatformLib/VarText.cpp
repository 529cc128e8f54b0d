#include "PlatformLib/VarText.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace Kor {
namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Start of the number after leading white space and a '+' (which from_chars does not take).
const char* skipToNumber(std::string_view text, const char*& end) {
    const char* p = text.data();
    end = p + text.size();
    while (p != end && IsClassicSpace(*p)) {
        ++p;
    }
    if (p != end && *p == '+') {
        ++p;
        // "+-1" is not a number.
        if (p != end && *p == '-') {
            return end;
        }
    }
    return p;
}

}  // namespace

int ParseVarInt(std::string_view text) {
    const char* end = nullptr;
    const char* p = skipToNumber(text, end);
    int value = 0;
    auto [next, error] = std::from_chars(p, end, value);
    (void)next;
    return error == std::errc() ? value : 0;
}

float ParseVarFloat(std::string_view text) {
    const char* end = nullptr;
    const char* start = skipToNumber(text, end);
    // The span a text stream would take: [-]digits[.digits][e[sign]digits]. An exponent mark
    // without digits spoils the whole number, as it does for the stream.
    const char* p = start;
    if (p != end && *p == '-') {
        ++p;
    }
    int mantissaDigits = 0;
    while (p != end && isDigit(*p)) {
        ++p;
        ++mantissaDigits;
    }
    if (p != end && *p == '.') {
        ++p;
        while (p != end && isDigit(*p)) {
            ++p;
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0) {
        return 0.0f;
    }
    if (p != end && (*p == 'e' || *p == 'E')) {
        ++p;
        if (p != end && (*p == '+' || *p == '-')) {
            ++p;
        }
        if (p == end || !isDigit(*p)) {
            return 0.0f;
        }
        while (p != end && isDigit(*p)) {
            ++p;
        }
    }
    float value = 0.0f;
    auto [next, error] = std::from_chars(start, p, value, std::chars_format::general);
    // An overflowing number reads as no number (0); an underflowing one is 0 anyway.
    if (error != std::errc() || next != p) {
        return 0.0f;
    }
    return value;
}

int TruncateToInt(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    if (value >= static_cast<double>(std::numeric_limits<int>::max())) {
        return std::numeric_limits<int>::max();
    }
    if (value <= static_cast<double>(std::numeric_limits<int>::min())) {
        return std::numeric_limits<int>::min();
    }
    return static_cast<int>(value);
}

}  // namespace Kor
