#include "analysis/LogNumberFormat.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

namespace Kor {

namespace {

// The fast path needs x87 extended precision; elsewhere every number takes to_chars.
constexpr bool kHasExtended = std::numeric_limits<long double>::digits == 64;

// 10^k, exact in extended precision for k <= 27.
constexpr long double kPow10[] = {1e0L,  1e1L,  1e2L,  1e3L,  1e4L,  1e5L,  1e6L,
                                  1e7L,  1e8L,  1e9L,  1e10L, 1e11L, 1e12L, 1e13L,
                                  1e14L, 1e15L, 1e16L, 1e17L, 1e18L, 1e19L, 1e20L,
                                  1e21L, 1e22L, 1e23L, 1e24L, 1e25L, 1e26L, 1e27L};
constexpr int kMaxScale = 27;

constexpr std::uint64_t kLowest12 = 100'000'000'000;    // 10^11
constexpr std::uint64_t kBeyond12 = 1'000'000'000'000;  // 10^12

constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// Copies of at most 32 bytes as two overlapping fixed-size moves, which the compiler keeps
// inline, instead of a call into the C library for a few bytes.
void smallCopy(char* out, const char* text, std::size_t length) {
    if (length >= 16) {
        std::memcpy(out, text, 16);
        std::memcpy(out + length - 16, text + length - 16, 16);
    } else if (length >= 8) {
        std::memcpy(out, text, 8);
        std::memcpy(out + length - 8, text + length - 8, 8);
    } else if (length >= 4) {
        std::memcpy(out, text, 4);
        std::memcpy(out + length - 4, text + length - 4, 4);
    } else if (length > 0) {
        out[0] = text[0];
        out[length / 2] = text[length / 2];
        out[length - 1] = text[length - 1];
    }
}

char* copy(char* out, const char* text, std::size_t length) {
    smallCopy(out, text, length);
    return out + length;
}

constexpr char kSpaces[] = "                                ";
constexpr std::size_t kSpacesLength = sizeof kSpaces - 1;

char* fill(char* out, std::size_t count) {
    for (; count > kSpacesLength; count -= kSpacesLength) {
        out = copy(out, kSpaces, kSpacesLength);
    }
    return copy(out, kSpaces, count);
}

// The 12 significant digits of |value| and the decimal exponent of the first, rounded half
// to even from the exact binary value; false when this cannot be decided here cheaply
// (subnormals, far exponents, a rounding too close to call).
bool roundTo12Digits(double magnitude, int binaryExponent, std::uint64_t& digits, int& exponent) {
    // floor(binaryExponent * log10(2)), which is at most one below the decimal exponent.
    exponent = (binaryExponent * 78913) >> 18;
    for (int attempt = 0; attempt < 2; ++attempt) {
        const int scale = kLogNumberPrecision - 1 - exponent;
        if (scale < -kMaxScale || scale > kMaxScale) {
            return false;
        }
        // One rounding to 64 bits: the error is below 2^-24 for a result under 2^40, so a
        // result clear of a half rounds as the exact product would.
        const long double scaled =
            scale >= 0 ? magnitude * kPow10[scale] : magnitude / kPow10[-scale];
        // Adding 2^63 rounds to an integer, which then is the significand less its top bit;
        // no conversion instruction, which would switch the rounding mode twice.
        const long double biased = scaled + 0x1p63L;
        std::uint64_t significand = 0;
        std::memcpy(&significand, &biased, sizeof significand);
        const std::uint64_t whole = significand - (std::uint64_t{1} << 63);
        const long double remainder = scaled - (biased - 0x1p63L);
        if (std::fabs(std::fabs(remainder) - 0.5L) < 0x1p-16L) {
            return false;
        }
        if (whole < kBeyond12) {
            if (whole < kLowest12) {
                return false;
            }
            digits = whole;
            return true;
        }
        if (whole == kBeyond12) {
            // Rounded up to the next power of ten (or was one): 1 followed by zeros.
            digits = kLowest12;
            ++exponent;
            return true;
        }
        ++exponent;  // the estimate was one too low
    }
    return false;
}

// Writes |value|'s "%.12g" text for a value that roundTo12Digits handled.
char* writeGeneral(char* out, std::uint64_t value, int exponent) {
    // Three groups of four digits, each split in two pairs: short chains of multiplications.
    char digits[12];
    const auto high = static_cast<std::uint32_t>(value / 100'000'000);
    const auto low = static_cast<std::uint32_t>(value % 100'000'000);
    const std::uint32_t groups[3] = {high, low / 10'000, low % 10'000};
    for (int g = 0; g < 3; ++g) {
        std::memcpy(digits + 4 * g, kDigitPairs + 2 * (groups[g] / 100), 2);
        std::memcpy(digits + 4 * g + 2, kDigitPairs + 2 * (groups[g] % 100), 2);
    }
    int count = 12;
    while (digits[count - 1] == '0') {
        --count;  // the first digit is never 0
    }
    if (exponent < -4 || exponent >= kLogNumberPrecision) {
        *out++ = digits[0];
        if (count > 1) {
            *out++ = '.';
            out = copy(out, digits + 1, static_cast<std::size_t>(count - 1));
        }
        *out++ = 'e';
        *out++ = exponent < 0 ? '-' : '+';
        unsigned e = static_cast<unsigned>(exponent < 0 ? -exponent : exponent);
        if (e >= 100) {
            *out++ = static_cast<char>('0' + e / 100);
            e %= 100;
        }
        return copy(out, kDigitPairs + 2 * e, 2);
    }
    if (exponent < 0) {
        *out++ = '0';
        *out++ = '.';
        for (int i = -1; i > exponent; --i) {
            *out++ = '0';
        }
        return copy(out, digits, static_cast<std::size_t>(count));
    }
    const int whole = exponent + 1;
    if (count <= whole) {
        out = copy(out, digits, static_cast<std::size_t>(count));
        for (int i = count; i < whole; ++i) {
            *out++ = '0';
        }
        return out;
    }
    out = copy(out, digits, static_cast<std::size_t>(whole));
    *out++ = '.';
    return copy(out, digits + whole, static_cast<std::size_t>(count - whole));
}

// The unpadded text of `value`.
char* writeNumber(char* out, double value) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    const bool negative = (bits >> 63) != 0;
    const int biased = static_cast<int>((bits >> 52) & 0x7FF);
    if (biased == 0x7FF) {
        const bool nan = (bits & ((std::uint64_t{1} << 52) - 1)) != 0;
        if (negative) {
            *out++ = '-';
        }
        return copy(out, nan ? "nan" : "inf", 3);
    }
    if (value == 0) {
        if (negative) {
            *out++ = '-';
        }
        *out++ = '0';
        return out;
    }
    std::uint64_t digits = 0;
    int exponent = 0;
    if (kHasExtended && biased != 0 &&
        roundTo12Digits(std::fabs(value), biased - 1023, digits, exponent)) {
        if (negative) {
            *out++ = '-';
        }
        return writeGeneral(out, digits, exponent);
    }
    // The exact conversion: std::to_chars with a precision is specified as printf's.
    return std::to_chars(out, out + kLogNumberMaxChars, value, std::chars_format::general,
                         kLogNumberPrecision)
        .ptr;
}

}  // namespace

char* formatLogNumber(char* out, double value, int width) {
    char text[kLogNumberMaxChars];
    const std::size_t length = static_cast<std::size_t>(writeNumber(text, value) - text);
    if (width > 0 && static_cast<std::size_t>(width) > length) {
        out = fill(out, static_cast<std::size_t>(width) - length);
    }
    return copy(out, text, length);
}

}  // namespace Kor
