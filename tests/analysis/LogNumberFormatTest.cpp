#include "analysis/LogNumberFormat.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <iomanip>
#include <limits>
#include <random>
#include <sstream>
#include <string>

namespace {

using Kor::formatLogNumber;
using Kor::kLogNumberMaxChars;

std::string formatted(double value, int width) {
    char buffer[64];
    return std::string(buffer, formatLogNumber(buffer, value, width));
}

std::string streamed(double value, int width) {
    std::ostringstream out;
    out << std::setw(width) << std::setprecision(12) << value;
    return out.str();
}

double fromBits(std::uint64_t bits) {
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

::testing::AssertionResult matchesStream(double value) {
    for (int width : {0, 16, 19}) {
        std::string expected = streamed(value, width);
#ifdef _WIN32
        // mingw's stream drops the sign of a NaN, which glibc's shows; the log keeps it on
        // every platform, so that the same trajectory gives the same file.
        if (std::isnan(value) && std::signbit(value) && expected.ends_with("nan")) {
            expected.insert(expected.size() - 3, "-");
            if (expected.front() == ' ') {
                expected.erase(0, 1);
            }
        }
#endif
        const std::string actual = formatted(value, width);
        if (actual != expected) {
            return ::testing::AssertionFailure()
                   << std::hexfloat << value << " width " << width << ": stream \"" << expected
                   << "\", formatter \"" << actual << "\"";
        }
    }
    return ::testing::AssertionSuccess();
}

TEST(LogNumberFormat, WritesTheLogFields) {
    EXPECT_EQ(formatted(0.03, 16), "            0.03");
    EXPECT_EQ(formatted(0.0, 19), std::string(18, ' ') + "0");
    EXPECT_EQ(formatted(-1.5e-20, 19), "           -1.5e-20");
    EXPECT_EQ(formatted(-0.0, 19), std::string(17, ' ') + "-0");
    EXPECT_EQ(formatted(1.0 / 3.0, 19), "     0.333333333333");
    EXPECT_EQ(formatted(9.99999999999995e5, 19), "            1000000");
    EXPECT_EQ(formatted(123456789012.5, 0), "123456789012");
    EXPECT_EQ(formatted(-std::numeric_limits<double>::infinity(), 6), "  -inf");
    // Wider than the field: widened, never cut.
    EXPECT_EQ(formatted(-1.23456789012345e-300, 16), "-1.23456789012e-300");
    EXPECT_EQ(formatted(-DBL_MAX, 19), "-1.79769313486e+308");
}

TEST(LogNumberFormat, MatchesTheStreamOnSpecialValues) {
    const double specials[] = {
        0.0,
        -0.0,
        std::numeric_limits<double>::infinity(),
        -std::numeric_limits<double>::infinity(),
        std::numeric_limits<double>::quiet_NaN(),
        -std::numeric_limits<double>::quiet_NaN(),
        fromBits(0x7ff0000000000001),
        fromBits(0xfff8000000000123),
        std::numeric_limits<double>::denorm_min(),
        -std::numeric_limits<double>::denorm_min(),
        DBL_MIN,
        std::nextafter(DBL_MIN, 0.0),
        DBL_MAX,
        -DBL_MAX,
        DBL_EPSILON,
        1.0,
        -1.0,
        0.1,
        1e-4,
        9.99999999999995e-5,
        0.000099999999999995,
        1e-5,
        1e11,
        1e12,
        999999999999.5,
        999999999999.4,
        99999999999.95,
        1e15,
        1e16,
        1e17,
        1e22,
        1e23,
        1e27,
        1e28,
        1e38,
        1e39,
        1e-16,
        1e-17,
        1e99,
        1e100,
        1e-99,
        1e-100,
        1e300,
        1e-300,
        123456789012.0,
        0.5,
        2.5,
    };
    for (double value : specials) {
        EXPECT_TRUE(matchesStream(value));
        EXPECT_TRUE(matchesStream(-value));
    }
}

// Values whose 13th significant digit is a 5 with nothing after it in binary: the exact value
// must round half to even, as printf does, and its neighbours away from it.
TEST(LogNumberFormat, RoundsExactHalvesToEven) {
    std::mt19937_64 random(5);
    for (int i = 0; i < 20000; ++i) {
        const double whole = static_cast<double>(100000000000 + random() % 900000000000);
        const int shift = static_cast<int>(random() % 8) - 4;
        for (double value :
             {whole + 0.5, std::ldexp(whole + 0.5, shift), std::nextafter(whole + 0.5, 0.0),
              std::nextafter(whole + 0.5, 1e13), (whole * 10 + 5) * 1000}) {
            ASSERT_TRUE(matchesStream(value));
        }
    }
}

// Values just below a power of ten round up to it: the exponent and the form change.
TEST(LogNumberFormat, RoundsUpToTheNextPowerOfTen) {
    for (int exponent = -320; exponent <= 308; ++exponent) {
        const double power = std::pow(10.0, exponent);
        double below = power * (1 - 4e-13);
        for (int step = 0; step < 40; ++step) {
            ASSERT_TRUE(matchesStream(below));
            ASSERT_TRUE(matchesStream(power));
            below = std::nextafter(below, power * 2);
        }
    }
}

TEST(LogNumberFormat, MatchesTheStreamOnRandomValues) {
    std::mt19937_64 random(20240611);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    for (int i = 0; i < 300000; ++i) {
        double value;
        switch (i % 4) {
            case 0:
                value = fromBits(random());  // every class, NaNs and subnormals included
                break;
            case 1:
                value = std::ldexp(unit(random), static_cast<int>(random() % 140) - 70);
                break;
            case 2:  // velocities and accelerations of plausible sizes
                value = unit(random) * std::pow(10.0, static_cast<int>(random() % 12) - 4);
                break;
            default:  // short decimals, which print with few digits
                value = std::round(unit(random) * 1e7) / std::pow(10.0, random() % 12);
                break;
        }
        ASSERT_TRUE(matchesStream(value));
    }
}

TEST(LogNumberFormat, NeverWritesMoreThanTheFieldOrTheLongestNumber) {
    std::mt19937_64 random(3);
    for (int i = 0; i < 100000; ++i) {
        const double value = fromBits(random());
        char buffer[64];
        std::memset(buffer, '#', sizeof buffer);
        const int width = static_cast<int>(random() % 24);
        const auto length =
            static_cast<std::size_t>(formatLogNumber(buffer, value, width) - buffer);
        ASSERT_LE(length,
                  std::max<std::size_t>(static_cast<std::size_t>(width), kLogNumberMaxChars));
        ASSERT_EQ(buffer[length], '#');
    }
}

}  // namespace
