#include "tools/orvane-convert/DecimalTime.h"

#include <algorithm>
#include <charconv>

#include "tools/orvane-convert/Fields.h"

namespace OrvaneConvert {

namespace {

// Holds a significand times a power of ten up to 10^19 (below 10^38) and the product of a
// significand and a count (below 2^128), so that no result below needs rounding.
__extension__ typedef unsigned __int128 Wide;

// Exponents are saturated here: anything beyond gives zero or infinity as a double anyway.
constexpr int kExponentLimit = 100000;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The nearest double to (-1)^negative * magnitude * 10^exponent, read back from its decimal
// text, which rounds correctly.
double nearestDouble(bool negative, Wide magnitude, int exponent) {
    char digits[40];
    char* first = digits + sizeof digits;
    do {
        *--first = static_cast<char>('0' + static_cast<int>(magnitude % 10));
        magnitude /= 10;
    } while (magnitude != 0);
    char text[64];
    char* at = text;
    if (negative) {
        *at++ = '-';
    }
    at = std::copy(first, digits + sizeof digits, at);
    *at++ = 'e';
    at = std::to_chars(at, text + sizeof text, exponent).ptr;
    double value = 0;
    parseNumber(std::string_view(text, static_cast<std::size_t>(at - text)), value);
    return value;
}

Wide powerOfTen(int n) {
    Wide power = 1;
    for (int k = 0; k < n; ++k) {
        power *= 10;
    }
    return power;
}

}  // namespace

std::optional<DecimalTime> DecimalTime::parse(std::string_view text) {
    DecimalTime time;
    std::size_t at = 0;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        time.negative = text[at] == '-';
        ++at;
    }
    int kept = 0;
    bool anyDigit = false;
    bool afterPoint = false;
    for (; at < text.size(); ++at) {
        const char c = text[at];
        if (c == '.' && !afterPoint) {
            afterPoint = true;
            continue;
        }
        if (!isDigit(c)) {
            break;
        }
        anyDigit = true;
        const int digit = c - '0';
        if (kept == 0 && digit == 0) {
            time.exponent -= afterPoint ? 1 : 0;  // a leading zero
        } else if (kept < kMaxDigits) {
            time.significand = time.significand * 10 + static_cast<std::uint64_t>(digit);
            ++kept;
            time.exponent -= afterPoint ? 1 : 0;
        } else if (!afterPoint) {
            time.exponent = std::min(time.exponent + 1, kExponentLimit);  // a dropped digit
        }
    }
    if (!anyDigit) {
        return std::nullopt;
    }
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        ++at;
        bool negativePower = false;
        if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
            negativePower = text[at] == '-';
            ++at;
        }
        if (at == text.size()) {
            return std::nullopt;
        }
        int power = 0;
        for (; at < text.size() && isDigit(text[at]); ++at) {
            power = std::min(power * 10 + (text[at] - '0'), kExponentLimit);
        }
        time.exponent += negativePower ? -power : power;
        time.exponent = std::clamp(time.exponent, -2 * kExponentLimit, 2 * kExponentLimit);
    }
    if (at != text.size()) {
        return std::nullopt;
    }
    return time;
}

std::optional<DecimalTime> DecimalTime::parseNanoseconds(std::string_view text) {
    if (text.empty() || text.size() > static_cast<std::size_t>(kMaxDigits)) {
        return std::nullopt;
    }
    DecimalTime time;
    time.exponent = -9;
    for (const char c : text) {
        if (!isDigit(c)) {
            return std::nullopt;
        }
        time.significand = time.significand * 10 + static_cast<std::uint64_t>(c - '0');
    }
    return time;
}

double toSeconds(const DecimalTime& time) {
    return nearestDouble(time.negative, time.significand, time.exponent);
}

double secondsBetween(const DecimalTime& from, const DecimalTime& to) {
    const int exponent = std::min(from.exponent, to.exponent);
    const int fromShift = from.exponent - exponent;
    const int toShift = to.exponent - exponent;
    if (fromShift > DecimalTime::kMaxDigits || toShift > DecimalTime::kMaxDigits) {
        // Twenty orders of magnitude apart (or one of them zero written with an odd
        // exponent): the doubles' own difference is as good as it gets.
        return toSeconds(to) - toSeconds(from);
    }
    const Wide a = Wide{to.significand} * powerOfTen(toShift);
    const Wide b = Wide{from.significand} * powerOfTen(fromShift);
    // to - from = (-1)^to.negative a - (-1)^from.negative b.
    if (to.negative != from.negative) {
        return nearestDouble(to.negative, a + b, exponent);
    }
    if (a >= b) {
        return nearestDouble(to.negative, a - b, exponent);
    }
    return nearestDouble(!to.negative, b - a, exponent);
}

double multiple(const DecimalTime& period, std::uint64_t count) {
    return nearestDouble(period.negative, Wide{period.significand} * count, period.exponent);
}

}  // namespace OrvaneConvert
