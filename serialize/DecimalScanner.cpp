#include "serialize/DecimalScanner.h"

#include <cfloat>
#include <charconv>
#include <cstring>
#include <limits>
#include <system_error>

namespace Kor::serialize {

namespace {

// Powers of ten that doubles and x87 extended doubles hold exactly.
constexpr double kExactPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                  1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                  1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr long double kExactPow10Extended[] = {1e0L,  1e1L,  1e2L,  1e3L,  1e4L,  1e5L,  1e6L,
                                               1e7L,  1e8L,  1e9L,  1e10L, 1e11L, 1e12L, 1e13L,
                                               1e14L, 1e15L, 1e16L, 1e17L, 1e18L, 1e19L, 1e20L,
                                               1e21L, 1e22L, 1e23L, 1e24L, 1e25L, 1e26L, 1e27L};
// 10^-k rounded to extended precision.
constexpr long double kInversePow10Extended[] = {
    1e-0L,  1e-1L,  1e-2L,  1e-3L,  1e-4L,  1e-5L,  1e-6L,  1e-7L,  1e-8L,  1e-9L,
    1e-10L, 1e-11L, 1e-12L, 1e-13L, 1e-14L, 1e-15L, 1e-16L, 1e-17L, 1e-18L, 1e-19L,
    1e-20L, 1e-21L, 1e-22L, 1e-23L, 1e-24L, 1e-25L, 1e-26L, 1e-27L};
constexpr bool kHasExtended = std::numeric_limits<long double>::digits == 64;

// 19 decimal digits always fit in 64 bits.
constexpr int kMantissaDigits = 19;
// Exponent digits beyond this cannot change the outcome; capping them keeps the sums in range.
constexpr std::int64_t kExponentCap = 1'000'000'000'000'000;
// A number crossing chunks keeps this many significant digits, then one nonzero digit if any
// nonzero digit was dropped. Every double and every midpoint between two doubles has at most
// 768 significant digits, so the rounding is the same as for the full digit string.
constexpr int kKeptDigits = 800;

// Bytes after the terminator that the scan may read (eight digits at a time).
constexpr std::size_t kLookAhead = 8;

bool isDigit(char c) {
    return static_cast<unsigned char>(c - '0') < 10;
}

// The classic locale's white space: space, \t, \n, \v, \f, \r.
bool isSpace(char c) {
    return c == ' ' || static_cast<unsigned char>(c - '\t') < 5;
}

// One number as the stream's extraction would collect it.
struct Token {
    const char* end = nullptr;   // first byte that is not part of the number
    std::uint64_t mantissa = 0;  // the first (up to 19) significant digits
    std::int64_t exponent = 0;   // value = mantissa * 10^exponent, unless truncated
    bool negative = false;
    bool truncated = false;  // a nonzero digit after the 19th was dropped
    bool valid = false;      // the whole collected text is a number
};

// Reads the optional exponent after the digits of `t`, which ended at `p`, and finishes `t`.
// An exponent is taken only after a digit; once taken, it needs digits of its own.
[[gnu::always_inline]] inline void scanExponent(const char* p, bool anyDigit, Token& t) {
    t.valid = anyDigit;
    if ((*p == 'e' || *p == 'E') && anyDigit) {
        ++p;
        bool negativeExponent = false;
        if (*p == '+' || *p == '-') {
            negativeExponent = *p == '-';
            ++p;
        }
        std::int64_t exponent = 0;
        bool exponentDigits = false;
        for (; isDigit(*p); ++p) {
            exponentDigits = true;
            if (exponent < kExponentCap) {
                exponent = exponent * 10 + (*p - '0');
            }
        }
        t.valid = exponentDigits;
        t.exponent += negativeExponent ? -exponent : exponent;
    }
    t.end = p;
}

// Digit by digit, keeping the first 19 significant digits: for numbers with more.
Token scanLongToken(const char* p) {
    Token t;
    if (*p == '+' || *p == '-') {
        t.negative = *p == '-';
        ++p;
    }
    bool anyDigit = false;
    int digits = 0;
    for (; isDigit(*p); ++p) {
        anyDigit = true;
        const unsigned d = static_cast<unsigned>(*p - '0');
        if (digits == 0 && d == 0) {
            continue;
        }
        if (digits < kMantissaDigits) {
            t.mantissa = t.mantissa * 10 + d;
            ++digits;
        } else {
            ++t.exponent;
            t.truncated |= d != 0;
        }
    }
    if (*p == '.') {
        for (++p; isDigit(*p); ++p) {
            anyDigit = true;
            const unsigned d = static_cast<unsigned>(*p - '0');
            if (digits == 0 && d == 0) {
                --t.exponent;
            } else if (digits < kMantissaDigits) {
                t.mantissa = t.mantissa * 10 + d;
                ++digits;
                --t.exponent;
            } else {
                t.truncated |= d != 0;
            }
        }
    }
    scanExponent(p, anyDigit, t);
    return t;
}

// Eight digits at a time, without a chain of multiplications per digit.
[[gnu::always_inline]] inline bool eightDigitsAt(const char* p, std::uint64_t& word) {
    std::memcpy(&word, p, sizeof word);
    return (((word & 0xF0F0F0F0F0F0F0F0) |
             (((word + 0x0606060606060606) & 0xF0F0F0F0F0F0F0F0) >> 4)) == 0x3333333333333333);
}

[[gnu::always_inline]] inline std::uint64_t valueOfEightDigits(std::uint64_t word) {
    word -= 0x3030303030303030;
    word = word * 10 + (word >> 8);
    return (((word & 0x000000FF000000FF) * 0x000F424000000064) +
            (((word >> 16) & 0x000000FF000000FF) * 0x0000271000000001)) >>
           32;
}

// Accumulates the digits at `p` into `value` (wrapping when there are too many, which the
// caller detects from the count) and returns the first byte after them.
[[gnu::always_inline]] inline const char* scanDigits(const char* p, std::uint64_t& value) {
    std::uint64_t word;
    while (eightDigitsAt(p, word)) {
        value = value * 100000000 + valueOfEightDigits(word);
        p += 8;
    }
    for (; isDigit(*p); ++p) {
        value = value * 10 + static_cast<unsigned>(*p - '0');
    }
    return p;
}

// Scans one number starting at `p`. The data must be followed by a byte that cannot continue
// a number and then 8 readable bytes, so no loop needs a bounds check.
[[gnu::always_inline]] inline Token scanToken(const char* p) {
    Token t;
    const char* const first = p;
    if (*p == '+' || *p == '-') {
        t.negative = *p == '-';
        ++p;
    }
    const char* const digitsStart = p;
    const char* q = scanDigits(p, t.mantissa);
    std::int64_t digits = q - p;
    if (*q == '.') {
        const char* fraction = q + 1;
        q = scanDigits(fraction, t.mantissa);
        digits += q - fraction;
        t.exponent = -(q - fraction);
    }
    if (digits > kMantissaDigits) {
        // Leading zeros do not count; beyond 19 significant digits the mantissa wrapped.
        std::int64_t zeros = 0;
        for (const char* z = digitsStart; z < q && (*z == '0' || *z == '.'); ++z) {
            zeros += *z == '0' ? 1 : 0;
        }
        if (digits - zeros > kMantissaDigits) {
            return scanLongToken(first);
        }
    }
    scanExponent(q, digits > 0, t);
    return t;
}

int decimalDigits(std::uint64_t value) {
    int count = 0;
    for (; value != 0; value /= 10) {
        ++count;
    }
    return count;
}

// Converts a valid token whose text starts at `first`, rounding correctly as strtod does.
// Returns false on overflow, where the stream stores +-DBL_MAX and fails.
[[gnu::always_inline]] inline bool convertToken(const Token& t, const char* first, double& value) {
    if (!t.truncated) {
        if (t.mantissa == 0) {
            value = t.negative ? -0.0 : 0.0;
            return true;
        }
        // Both factors exact, so the one rounding of the product or quotient is the right one.
        if (t.exponent >= -22 && t.exponent <= 22 && t.mantissa <= (std::uint64_t{1} << 53)) {
            double d = static_cast<double>(t.mantissa);
            d = t.exponent < 0 ? d / kExactPow10[-t.exponent] : d * kExactPow10[t.exponent];
            value = t.negative ? -d : d;
            return true;
        }
        if constexpr (kHasExtended) {
            // In 64-bit precision the result is within 2 units of the last place of the exact
            // value (10^-k is rounded once, the product once). Rounding it to 53 bits gives the
            // correctly rounded double unless a midpoint between two doubles, whose 11 low
            // bits read 10000000000, lies that close: then the exact value decides, below.
            if (t.exponent >= -27 && t.exponent <= 27) {
                const long double m = static_cast<long double>(t.mantissa);
                const long double r = t.exponent < 0 ? m * kInversePow10Extended[-t.exponent]
                                                     : m * kExactPow10Extended[t.exponent];
                std::uint64_t significand = 0;
                std::memcpy(&significand, &r, sizeof significand);
                if ((significand & 0x7FF) - 0x3FC > 8) {
                    const double d = static_cast<double>(r);
                    value = t.negative ? -d : d;
                    return true;
                }
            }
        }
    }
    if (*first == '+') {
        ++first;  // from_chars takes no plus sign
    }
    double d = 0;
    const auto [ptr, ec] = std::from_chars(first, t.end, d);
    if (ec == std::errc::result_out_of_range) {
        // Rounded to infinity or to zero: the decimal exponent tells which.
        if (t.exponent + decimalDigits(t.mantissa) - 1 > 0) {
            value = t.negative ? -DBL_MAX : DBL_MAX;
            return false;
        }
        value = t.negative ? -0.0 : 0.0;
        return true;
    }
    if (ec != std::errc() || ptr != t.end) {
        value = 0;  // not reached for a valid token; fail as the stream would on bad text
        return false;
    }
    value = d;
    return true;
}

}  // namespace

DecimalScanner::DecimalScanner(std::streambuf& source, std::size_t chunkSize)
    : mSource(&source),
      mChunkSize(chunkSize == 0 ? 1 : chunkSize),
      mBuffer(std::make_unique<char[]>(mChunkSize + 1 + kLookAhead)),
      mNext(mBuffer.get()),
      mEnd(mBuffer.get()) {
    mBuffer[0] = '\0';
}

bool DecimalScanner::refill() {
    if (mSourceDone) {
        return false;
    }
    mBufferStart += static_cast<std::uint64_t>(mEnd - mBuffer.get());
    using Traits = std::streambuf::traits_type;
    const auto chunk = static_cast<std::streamsize>(mChunkSize);
    char* buffer = mBuffer.get();
    std::streamsize got = 0;
    try {
        // Asks only for what the buffer says it holds, so that a read error thrown from the
        // buffer cannot swallow bytes already handed over; a file buffer reports the rest of
        // the file, which it then reads straight into this chunk.
        while (got < chunk) {
            std::streamsize available = mSource->in_avail();
            if (available <= 0) {
                if (got > 0) {
                    break;  // hand out what has arrived before waiting for more
                }
                if (Traits::eq_int_type(mSource->sgetc(), Traits::eof())) {
                    break;
                }
                available = mSource->in_avail();
                if (available <= 0) {  // a buffer that keeps nothing: one byte at a time
                    const auto c = mSource->sbumpc();
                    if (Traits::eq_int_type(c, Traits::eof())) {
                        break;
                    }
                    buffer[got++] = Traits::to_char_type(c);
                    continue;
                }
            }
            const std::streamsize n =
                mSource->sgetn(buffer + got, available < chunk - got ? available : chunk - got);
            if (n <= 0) {
                break;
            }
            got += n;
        }
    } catch (...) {
        // libstdc++'s file buffer throws on a read error (a directory, say); a stream turns
        // that into badbit, and so does the scanner, after the bytes that did arrive.
        mReadError = true;
        mSourceDone = true;
    }
    if (got < 0) {
        got = 0;
    }
    mNext = mBuffer.get();
    mEnd = mNext + got;
    mBuffer[static_cast<std::size_t>(got)] = '\0';
    if (got == 0) {
        mSourceDone = true;
        return false;
    }
    return true;
}

bool DecimalScanner::extract(double& value) {
    if (mState != 0) {
        mState |= kFailBit;
        return false;
    }
    for (;;) {
        while (isSpace(*mNext)) {
            ++mNext;
        }
        if (mNext != mEnd) {
            break;
        }
        if (!refill()) {
            // Nothing but white space left: the value stays as it was.
            mState |= kFailBit | (mReadError ? kBadBit : kEofBit);
            return false;
        }
    }
    const char* start = mNext;
    const Token t = scanToken(start);
    if (t.end == mEnd) {
        return extractAcrossChunks(value);
    }
    mNext = t.end;
    if (!t.valid) {
        value = 0;
        mState |= kFailBit;
    } else if (!convertToken(t, start, value)) {
        mState |= kFailBit;
    }
    return !fail();
}

bool DecimalScanner::extractAcrossChunks(double& value) {
    // Rescans the number from its first byte, which is still in the buffer, and rewrites it
    // as sign, significant digits and exponent for the conversion.
    char text[kKeptDigits + 48] = {};
    char* digits = text + 1;
    int kept = 0;
    bool sticky = false;
    std::int64_t scale = 0;  // decimal exponent of the last kept digit
    bool negative = false;
    bool anyDigit = false;
    bool dot = false;
    bool scientific = false;
    bool exponentDigits = false;
    bool negativeExponent = false;
    std::int64_t exponent = 0;

    int c = peekByte();
    if (c == '+' || c == '-') {
        negative = c == '-';
        ++mNext;
        c = peekByte();
    }
    for (;;) {
        if (c >= '0' && c <= '9') {
            if (scientific) {
                exponentDigits = true;
                if (exponent < kExponentCap) {
                    exponent = exponent * 10 + (c - '0');
                }
            } else {
                anyDigit = true;
                if (kept == 0 && c == '0') {
                    scale -= dot ? 1 : 0;
                } else if (kept < kKeptDigits) {
                    digits[kept++] = static_cast<char>(c);
                    scale -= dot ? 1 : 0;
                } else {
                    sticky |= c != '0';
                    scale += dot ? 0 : 1;
                }
            }
        } else if (c == '.' && !dot && !scientific) {
            dot = true;
        } else if ((c == 'e' || c == 'E') && !scientific && anyDigit) {
            scientific = true;
            ++mNext;
            c = peekByte();
            if (c == '+' || c == '-') {
                negativeExponent = c == '-';
            } else {
                continue;
            }
        } else {
            break;
        }
        ++mNext;
        c = peekByte();
    }
    if (mReadError) {
        // The stream loses the number to the exception: badbit, value untouched.
        mState |= kBadBit;
        return false;
    }
    if (c < 0) {
        mState |= kEofBit;
    }
    if (!anyDigit || (scientific && !exponentDigits)) {
        value = 0;
        mState |= kFailBit;
        return false;
    }
    if (sticky) {
        digits[kept++] = '1';
        --scale;
    }
    if (kept == 0) {
        digits[kept++] = '0';
    }
    std::int64_t total = scale + (negativeExponent ? -exponent : exponent);
    // At most 801 digits: beyond this the value is certainly infinite or zero.
    constexpr std::int64_t kExponentLimit = kKeptDigits + 1000;
    total = total > kExponentLimit    ? kExponentLimit
            : total < -kExponentLimit ? -kExponentLimit
                                      : total;
    char* p = digits + kept;
    *p++ = 'e';
    p = std::to_chars(p, text + sizeof text - 1, total).ptr;
    *p = '\0';
    char* first = text + 1;
    if (negative) {
        *--first = '-';
    }
    const Token t = scanToken(first);
    if (!convertToken(t, first, value)) {
        mState |= kFailBit;
    }
    return !fail();
}

}  // namespace Kor::serialize
