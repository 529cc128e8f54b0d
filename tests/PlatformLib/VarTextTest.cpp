// Settings text is read as a text stream reads a number; the stream itself is the oracle.
#include "PlatformLib/VarText.h"

#include <gtest/gtest.h>

#include <locale>
#include <random>
#include <sstream>
#include <string>

#include "tests/support/StreamReadOracle.h"

namespace {

using OrvaneTest::streamRead;

const char* const kCases[] = {
    "",
    "   ",
    "42",
    "  42 abc",
    "\t-17x",
    "+5",
    "+-5",
    "- 5",
    "abc",
    "12abc",
    "007",
    "2147483647",
    "2147483648",
    "-2147483648",
    "-2147483649",
    "99999999999999999999",
    "1.5",
    ".5",
    "-.5",
    "5.",
    ".",
    "1e3",
    "1e",
    "1e+",
    "1E-2x",
    "1e400",
    "-1e400",
    "1e-50",
    "1e-40",
    "0x10",
    "inf",
    "nan",
    "\v\f\r\n8",
    "3.4028235e38",
    "3.4028236e38",
    "1.2.3",
    "1,5",
    "--1",
    "+",
};

TEST(VarText, MatchesTheStreamOnHardCases) {
    for (const char* text : kCases) {
        EXPECT_EQ(Kor::ParseVarInt(text), streamRead<int>(text)) << '"' << text << '"';
        EXPECT_EQ(Kor::ParseVarFloat(text), streamRead<float>(text)) << '"' << text << '"';
    }
}

TEST(VarText, MatchesTheStreamOnGeneratedText) {
    std::mt19937 random(20240611);
    const std::string alphabet = " \t+-0123456789.eEx9";
    std::uniform_int_distribution<size_t> pick(0, alphabet.size() - 1);
    std::uniform_int_distribution<int> length(0, 14);
    for (int i = 0; i < 20000; ++i) {
        std::string text;
        for (int n = length(random); n > 0; --n) {
            text += alphabet[pick(random)];
        }
        ASSERT_EQ(Kor::ParseVarInt(text), streamRead<int>(text)) << '"' << text << '"';
        ASSERT_EQ(Kor::ParseVarFloat(text), streamRead<float>(text)) << '"' << text << '"';
    }
}

TEST(VarText, StopsAtTheEndOfTheViewNotAtANul) {
    const std::string backing = "123456";
    EXPECT_EQ(Kor::ParseVarInt(std::string_view(backing).substr(0, 3)), 123);
    EXPECT_EQ(Kor::ParseVarFloat(std::string_view(backing).substr(0, 2)), 12.0f);
    EXPECT_EQ(Kor::ParseVarInt(std::string_view("7\0"
                                                "8",
                                                3)),
              7);
}

}  // namespace
