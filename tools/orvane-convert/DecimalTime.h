#pragma once
// Time stamps kept as the decimal numbers the files write, so that the time between two
// stamps is exact before it becomes a double. A double holds about 16 digits: nanoseconds
// since 1970 (19 digits) or seconds with six decimals (16 digits) lose their last digits when
// read as doubles, and so would the differences between successive poses.

#include <cstdint>
#include <optional>
#include <string_view>

namespace OrvaneConvert {

// (-1)^negative * significand * 10^exponent.
struct DecimalTime {
    bool negative = false;
    std::uint64_t significand = 0;  // at most kMaxDigits digits
    int exponent = 0;

    // Significant digits kept; further ones are dropped. 19 digits resolve a nanosecond in 300
    // years, far below what a double holds.
    static constexpr int kMaxDigits = 19;

    // "[+-]digits[.digits][(e|E)[+-]digits]", with a digit before or after the point, and
    // nothing else.
    static std::optional<DecimalTime> parse(std::string_view text);
    // Whole nanoseconds written as 1 to 19 decimal digits, in seconds.
    static std::optional<DecimalTime> parseNanoseconds(std::string_view text);
};

// Each is the double nearest to the exact decimal result (infinite when beyond the doubles).
double toSeconds(const DecimalTime& time);
// to - from.
double secondsBetween(const DecimalTime& from, const DecimalTime& to);
// period * count.
double multiple(const DecimalTime& period, std::uint64_t count);

}  // namespace OrvaneConvert
