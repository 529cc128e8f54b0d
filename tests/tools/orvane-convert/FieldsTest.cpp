// Reading the numbers of fields, and quoting fields in reasons.
#include "tools/orvane-convert/Fields.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using namespace OrvaneConvert;

TEST(Fields, ReadsWholeFieldsAsStrtodDoes) {
    struct Case {
        const char* text;
        bool valid;
        double value;
    };
    const Case cases[] = {
        {"0.1", true, 0.1},
        {"+2.5e-3", true, 2.5e-3},
        {"-0", true, -0.0},
        {".5", true, 0.5},
        {"5.", true, 5.0},
        {"1e-400", true, 0.0},
        {"4.9e-324", true, 4.9e-324},
        {"1e400", true, std::numeric_limits<double>::infinity()},
        {"-1e400", true, -std::numeric_limits<double>::infinity()},
        {"", false, 0},
        {"+", false, 0},
        {"+-1", false, 0},
        {"1,5", false, 0},
        {" 1", false, 0},
        {"0x1p3", false, 0},
        {"1e", false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        double value = 42;
        ASSERT_EQ(parseNumber(c.text, value), c.valid);
        if (c.valid) {
            EXPECT_EQ(value, c.value);
            EXPECT_EQ(std::signbit(value), std::signbit(c.value));
        }
    }
}

TEST(Fields, QuotesShortAndPrintable) {
    EXPECT_EQ(quotedField("abc"), "'abc'");
    EXPECT_EQ(quotedField(std::string_view("\x01\xff", 2)), "'\\x01\\xff'");
    EXPECT_EQ(quotedField(std::string(40, 'x')), "'" + std::string(32, 'x') + "...'");
}

}  // namespace
