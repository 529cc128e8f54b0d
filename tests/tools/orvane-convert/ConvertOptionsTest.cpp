// The command line of orvane-convert.
#include "tools/orvane-convert/ConvertOptions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace OrvaneConvert;

TEST(ConvertOptions, ReadsOptionsAroundThePathsInBothForms) {
    const ParsedOptions parsed = parseConvertOptions(
        {"in.csv", "--from=kitti", "--period", "0.05", "--time=absolute", "out.bin"});
    ASSERT_EQ(parsed.error, "");
    const ConvertOptions& o = parsed.options;
    EXPECT_EQ(o.conversion.format, InputFormat::Kitti);
    EXPECT_EQ(o.conversion.period.significand, 5u);
    EXPECT_EQ(o.conversion.period.exponent, -2);
    EXPECT_EQ(o.conversion.origin, TimeOrigin::Absolute);
    EXPECT_EQ(o.input, "in.csv");
    EXPECT_EQ(o.output, "out.bin");
    EXPECT_EQ(o.outputForm, Kor::PoseFormat::Binary);
}

TEST(ConvertOptions, DefaultsAndPathsThatLookLikeOptions) {
    const ParsedOptions parsed = parseConvertOptions({"--from", "tum", "-", "--", "-out.txt"});
    ASSERT_EQ(parsed.error, "");
    EXPECT_EQ(parsed.options.input, "-");
    EXPECT_EQ(parsed.options.output, "-out.txt");
    EXPECT_EQ(parsed.options.outputForm, Kor::PoseFormat::Text);
    EXPECT_EQ(parsed.options.conversion.origin, TimeOrigin::Relative);
    EXPECT_EQ(parsed.options.conversion.period.significand, kDefaultPeriod.significand);
    EXPECT_EQ(parseConvertOptions({"--from", "euroc", "a", "-"}).options.outputForm,
              Kor::PoseFormat::Text);
    EXPECT_EQ(parseConvertOptions({"--from", "euroc", "a", "b.DAT"}).options.outputForm,
              Kor::PoseFormat::Binary);
}

TEST(ConvertOptions, RefusesWhatItCannotDo) {
    struct Case {
        std::vector<std::string> arguments;
        const char* error;
    };
    const Case cases[] = {
        {{"a", "b"}, "--from is required: tum, kitti or euroc"},
        {{"--from", "csv", "a", "b"}, "--from takes tum, kitti or euroc, not 'csv'"},
        {{"--from", "TUM", "a", "b"}, "--from takes tum, kitti or euroc, not 'TUM'"},
        {{"a", "b", "--from"}, "--from needs a value"},
        {{"--from", "tum", "a"}, "give an input and an output file"},
        {{"--from", "tum", "a", "b", "c"}, "unexpected argument 'c'"},
        {{"--from", "tum", "--frobnicate", "a", "b"}, "unknown option '--frobnicate'"},
        {{"--from", "tum", "-x", "a", "b"}, "unknown option '-x'"},
        {{"--from", "tum", "--period", "0.1", "a", "b"},
         "--period applies to --from kitti only; the other formats have times"},
        {{"--from", "kitti", "--period", "0", "a", "b"},
         "--period takes a number of seconds above 0, not '0'"},
        {{"--from", "kitti", "--period=-1", "a", "b"},
         "--period takes a number of seconds above 0, not '-1'"},
        {{"--from", "kitti", "--period", "1e-400", "a", "b"},
         "--period takes a number of seconds above 0, not '1e-400'"},
        {{"--from", "kitti", "--period", "1e400", "a", "b"},
         "--period takes a number of seconds above 0, not '1e400'"},
        {{"--from", "kitti", "--period", "0.1s", "a", "b"},
         "--period takes a number of seconds above 0, not '0.1s'"},
        {{"--from", "tum", "--time", "local", "a", "b"},
         "--time takes relative or absolute, not 'local'"},
        {{"--from", "tum", "", "b"}, "a path may not be empty"},
        {{"--from", "tum", "a", "rec/b.dat"},
         "Orvane reads a .dat file as a spline trajectory: name the output .txt (text) or .bin "
         "(binary)"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(parseConvertOptions(c.arguments).error, c.error);
    }
}

}  // namespace
