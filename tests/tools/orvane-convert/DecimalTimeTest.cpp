// Time stamps as exact decimals: what is read, and the differences and multiples rounded once.
#include "tools/orvane-convert/DecimalTime.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <optional>

namespace {

using OrvaneConvert::DecimalTime;

struct ParseCase {
    const char* text;
    std::optional<DecimalTime> expected;
};

TEST(DecimalTime, ReadsDecimalNumbersAndNothingElse) {
    const ParseCase cases[] = {
        {"0", DecimalTime{false, 0, 0}},
        {"1305031102.175304", DecimalTime{false, 1305031102175304, -6}},
        {"-0.0025", DecimalTime{true, 25, -4}},
        {"+12.", DecimalTime{false, 12, 0}},
        {".5", DecimalTime{false, 5, -1}},
        {"1.5e3", DecimalTime{false, 15, 2}},
        {"00012E-2", DecimalTime{false, 12, -2}},
        // Beyond 19 significant digits the rest is dropped, keeping the scale.
        {"12345678901234567890123", DecimalTime{false, 1234567890123456789, 4}},
        {"0.000123456789012345678901", DecimalTime{false, 1234567890123456789, -22}},
        {"", std::nullopt},
        {".", std::nullopt},
        {"-", std::nullopt},
        {"1e", std::nullopt},
        {"1e+", std::nullopt},
        {"e5", std::nullopt},
        {"1.2.3", std::nullopt},
        {"1 ", std::nullopt},
        {"0x10", std::nullopt},
        {"inf", std::nullopt},
    };
    for (const ParseCase& c : cases) {
        SCOPED_TRACE(c.text);
        const std::optional<DecimalTime> parsed = DecimalTime::parse(c.text);
        ASSERT_EQ(parsed.has_value(), c.expected.has_value());
        if (parsed) {
            EXPECT_EQ(parsed->negative, c.expected->negative);
            EXPECT_EQ(parsed->significand, c.expected->significand);
            EXPECT_EQ(parsed->exponent, c.expected->exponent);
        }
    }
}

TEST(DecimalTime, ReadsNanosecondsAsWholeNumbersOfUpTo19Digits) {
    EXPECT_EQ(DecimalTime::parseNanoseconds("9999999999999999999")->significand,
              9999999999999999999u);
    EXPECT_EQ(DecimalTime::parseNanoseconds("0")->exponent, -9);
    for (const char* bad : {"", "10000000000000000000", "-1", "+1", "1.0", "1e9", " 1"}) {
        EXPECT_FALSE(DecimalTime::parseNanoseconds(bad)) << bad;
    }
}

struct DifferenceCase {
    const char* from;
    const char* to;
    const char* exact;  // to - from, worked out by hand
};

TEST(DecimalTime, TheTimeBetweenTwoStampsIsTheExactDifferenceRoundedOnce) {
    const DifferenceCase cases[] = {
        {"1305031102.175304", "1305031102.211214", "0.03591"},
        {"1305031102.211214", "1305031102.175304", "-0.03591"},
        {"1403636579.758555392", "1403636579.763555584", "0.005000192"},
        {"-1.5", "2.25", "3.75"},
        {"2.25", "-1.5", "-3.75"},
        {"1e3", "1000.000001", "0.000001"},
        {"7", "7.000", "0"},
        {"0", "1e-30", "1e-30"},
        // Twenty orders of magnitude apart: the doubles' difference.
        {"1", "1e25", "1e25"},
    };
    for (const DifferenceCase& c : cases) {
        SCOPED_TRACE(std::string(c.to) + " - " + c.from);
        EXPECT_EQ(
            OrvaneConvert::secondsBetween(*DecimalTime::parse(c.from), *DecimalTime::parse(c.to)),
            std::strtod(c.exact, nullptr));
    }
    // Reading the stamps as doubles first loses digits the exact difference keeps.
    EXPECT_NE(std::strtod("1305031102.211214", nullptr) - std::strtod("1305031102.175304", nullptr),
              0.03591);
}

TEST(DecimalTime, SecondsAndMultiplesAreRoundedOnce) {
    const DecimalTime tenth = *DecimalTime::parse("0.1");
    EXPECT_EQ(OrvaneConvert::multiple(tenth, 3), 0.3);
    EXPECT_EQ(OrvaneConvert::multiple(tenth, 0), 0.0);
    EXPECT_EQ(OrvaneConvert::multiple(*DecimalTime::parse("9999999999999999999"), UINT64_MAX),
              9999999999999999999.0 * 18446744073709551615.0);
    EXPECT_EQ(OrvaneConvert::toSeconds(*DecimalTime::parseNanoseconds("1403636579758555392")),
              std::strtod("1403636579.758555392", nullptr));
    EXPECT_EQ(OrvaneConvert::toSeconds(*DecimalTime::parse("-2.5e-3")), -0.0025);
    EXPECT_TRUE(std::isinf(OrvaneConvert::toSeconds(*DecimalTime::parse("1e999999999999"))));
    EXPECT_EQ(OrvaneConvert::toSeconds(*DecimalTime::parse("1e-999999999999")), 0.0);
}

}  // namespace
