#include "app/ArgumentParser.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "app/ProgramOptions.h"

namespace Kor {
namespace {

// argv for parseArgs from a list of words; the program name comes first.
class Words {
public:
    Words(std::initializer_list<std::string> words) : mWords(words) { build(); }
    explicit Words(std::vector<std::string> words) : mWords(std::move(words)) { build(); }
    int argc() const { return static_cast<int>(mPointers.size()); }
    const char* const* argv() const { return mPointers.data(); }

private:
    void build() {
        mWords.insert(mWords.begin(), "prog");
        for (const auto& w : mWords) {
            mPointers.push_back(w.c_str());
        }
    }
    std::vector<std::string> mWords;
    std::vector<const char*> mPointers;
};

std::string parseError(ArgumentParser& parser, const Words& words) {
    try {
        parser.parseArgs(words.argc(), words.argv());
    } catch (const ParseError& error) {
        return error.what();
    }
    return "(no error)";
}

TEST(IsOptionName, NumbersAreNotOptions) {
    EXPECT_FALSE(isOptionName("-5"));
    EXPECT_FALSE(isOptionName("-0.25"));
    EXPECT_FALSE(isOptionName("-1e3"));
    EXPECT_FALSE(isOptionName("-2147483648"));
    EXPECT_FALSE(isOptionName("-.5"));
    // Too big for an int but a float, so still a number.
    EXPECT_FALSE(isOptionName("-99999999999999999999"));
}

TEST(IsOptionName, WordsThatAreOptions) {
    EXPECT_TRUE(isOptionName("-1e50"));  // beyond float range: the float read fails
    EXPECT_TRUE(isOptionName("--5"));
    EXPECT_TRUE(isOptionName("-x"));
    EXPECT_TRUE(isOptionName("--path"));
    EXPECT_TRUE(isOptionName("-5x"));
    EXPECT_TRUE(isOptionName("-5 "));   // the number must end exactly at the end
    EXPECT_TRUE(isOptionName("- 5"));   // no white space is skipped after the sign
    EXPECT_TRUE(isOptionName("-inf"));  // not a number to the stream reader
}

TEST(IsOptionName, TooShortOrNoDash) {
    EXPECT_FALSE(isOptionName("-"));
    EXPECT_FALSE(isOptionName(""));
    EXPECT_FALSE(isOptionName("1e3"));
    EXPECT_FALSE(isOptionName("x-y"));
}

TEST(Argument, NamesSortedByLengthThenBytes) {
    ArgumentParser parser("p");
    Argument& a = parser.addArgument("--zeta", "-z");
    EXPECT_EQ(a.names, (std::vector<std::string>{"-z", "--zeta"}));
    Argument& b = parser.addArgument("-b", "-a");
    EXPECT_EQ(b.names, (std::vector<std::string>{"-a", "-b"}));
    EXPECT_TRUE(a.isOptional);
    EXPECT_FALSE(parser.addArgument("file").isOptional);
}

TEST(ArgumentParser, FixedCountRejectsOptionNamesButTakesNumbers) {
    ArgumentParser first("p");
    first.addArgument("--pair").nargs(2);
    EXPECT_EQ(parseError(first, {"--pair", "a", "-b"}), "optional argument in parameter sequence");

    Words words{"--pair", "a", "-2"};
    ArgumentParser third("p");
    third.addArgument("--pair").nargs(2);
    third.parseArgs(words.argc(), words.argv());
    EXPECT_EQ(third.get<std::vector<std::string>>("--pair"), (std::vector<std::string>{"a", "-2"}));
}

TEST(ArgumentParser, RemainingWordsTakeEverythingIncludingOptions) {
    ArgumentParser parser("p");
    parser.addArgument("--flag").defaultValue(false).implicitValue(true);
    parser.addArgument("rest").nargs(-1);
    Words words{"--flag", "a", "--help", "-x", "--flag"};
    parser.parseArgs(words.argc(), words.argv());
    EXPECT_TRUE(parser.get<bool>("--flag"));
    EXPECT_EQ(parser.get<std::vector<std::string>>("rest"),
              (std::vector<std::string>{"a", "--help", "-x", "--flag"}));
}

TEST(ArgumentParser, ParseErrors) {
    auto make = [] {
        auto parser = std::make_unique<ArgumentParser>("p");
        parser->addArgument("-a").defaultValue(false).implicitValue(true);
        parser->addArgument("-b", "--bee");
        parser->addArgument("one");
        return parser;
    };
    EXPECT_EQ(parseError(*make(), {"x", "y"}), "Maximum number of positional arguments exceeded");
    EXPECT_EQ(parseError(*make(), {"--nope", "x"}), "Unknown argument");
    EXPECT_EQ(parseError(*make(), {"-ax", "x"}), "Unknown argument");
    EXPECT_EQ(parseError(*make(), {"-a", "-a", "x"}), "Duplicate argument");
    EXPECT_EQ(parseError(*make(), {"-aa", "x"}), "Duplicate argument");
    EXPECT_EQ(parseError(*make(), {"x", "--bee"}), "Too few arguments");
    EXPECT_EQ(parseError(*make(), {"-b", "--nope"}), "optional argument in parameter sequence");
    // An earlier error wins over a later one.
    EXPECT_EQ(parseError(*make(), {"--nope", "-a", "-a"}), "Unknown argument");
}

TEST(ArgumentParser, ShortGroupsTakeWordsInTurn) {
    ArgumentParser parser("p");
    parser.addArgument("-a").defaultValue(false).implicitValue(true);
    parser.addArgument("-b");
    parser.addArgument("-c");
    parser.addArgument("rest").nargs(-1);
    Words words{"-abc", "B", "C", "tail"};
    parser.parseArgs(words.argc(), words.argv());
    EXPECT_TRUE(parser.get<bool>("-a"));
    EXPECT_EQ(parser.get<std::string>("-b"), "B");
    EXPECT_EQ(parser.get<std::string>("-c"), "C");
    EXPECT_EQ(parser.get<std::vector<std::string>>("rest"), (std::vector<std::string>{"tail"}));
}

TEST(ArgumentParser, ValidationMessages) {
    {
        ArgumentParser parser("p");
        parser.addArgument("file");
        EXPECT_EQ(parseError(parser, {}), ": expected 1 argument(s). 0 provided.");
    }
    {
        // The help argument reached through a group stores a value it does not expect.
        ArgumentParser parser("p");
        parser.addArgument("-v").defaultValue(false).implicitValue(true);
        EXPECT_EQ(parseError(parser, {"-vh"}), "-h: expected 0 argument(s). 1 provided.");
    }
    {
        ArgumentParser parser("p");
        Argument& level = parser.addArgument("--level").defaultValue(std::string("1"));
        level.isRequired = true;
        EXPECT_EQ(parseError(parser, {"--level"}), "--level: no value provided.");
    }
    {
        ArgumentParser parser("p");
        parser.addArgument("--out", "-o").isRequired = true;
        EXPECT_EQ(parseError(parser, {}), "-o: required.");
    }
}

TEST(ArgumentParser, ValidationRunsInNameMapOrder) {
    ArgumentParser parser("p");
    parser.addArgument("--zz").isRequired = true;
    parser.addArgument("--aa").isRequired = true;
    EXPECT_EQ(parseError(parser, {}), "--aa: required.");
}

TEST(ArgumentParser, GetOnEachKind) {
    ArgumentParser parser("p");
    declareProgramOptions(parser);
    parser.addArgument("--name").defaultValue(std::string("none"));
    Words words{"--log_dynamics", "one", "two"};
    parser.parseArgs(words.argc(), words.argv());

    EXPECT_TRUE(parser.get<bool>(kLogDynamics));
    EXPECT_FALSE(parser.get<bool>(kCenterTrajectories));
    EXPECT_EQ(parser.get<std::string>("--name"), "none");
    EXPECT_EQ(parser.get<std::vector<std::string>>(kTrajectoryPaths),
              (std::vector<std::string>{"one", "two"}));
    EXPECT_THROW(parser.get<bool>("--missing"), LookupError);
    EXPECT_THROW(parser.get<std::string>(kLogDynamics), TypeMismatchError);
    try {
        parser.get<bool>("--missing");
    } catch (const LookupError& error) {
        EXPECT_STREQ(error.what(), "No such argument");
    }
}

TEST(ArgumentParser, NoPathsMeansNoValue) {
    ArgumentParser parser("p");
    declareProgramOptions(parser);
    Words words{"--center_trajectories"};
    parser.parseArgs(words.argc(), words.argv());
    try {
        parser.get<std::vector<std::string>>(kTrajectoryPaths);
        FAIL() << "expected a lookup error";
    } catch (const LookupError& error) {
        EXPECT_STREQ(error.what(), "No value provided");
    }
}

TEST(ArgumentParser, ProgramNameFromFirstWordWhenUnset) {
    ArgumentParser parser;
    Words words{};
    parser.parseArgs(words.argc(), words.argv());
    std::ostringstream help;
    help << parser;
    EXPECT_EQ(help.str(),
              "Usage: prog [options] \n\nOptional arguments:\n-h --help \tshow this help message "
              "and exit\n");
}

TEST(ArgumentParser, HelpLayout) {
    ArgumentParser parser(kProgramName);
    declareProgramOptions(parser);
    EXPECT_EQ(parser.longestNameWidth(), 22u);

    ArgumentParser wide("w");
    wide.addArgument("in").help("input").isRequired = true;
    wide.addArgument("-a-very-long-option-name").help("long");
    std::ostringstream out;
    out << wide;
    // A name piece wider than the column is not cut; the stream stays left-adjusted.
    auto padded = [](std::string piece) { return piece + std::string(25 - piece.size(), ' '); };
    EXPECT_EQ(out.str(),
              "Usage: w [options] in \n\nPositional arguments:\n" + padded("in ") +
                  "\tinput[Required]\n\nOptional arguments:\n" + padded("-h --help ") +
                  "\tshow this help message and exit\n-a-very-long-option-name \tlong\n");
    EXPECT_TRUE(out.flags() & std::ios::left);
}

TEST(ArgumentParser, RedeclaredNameReplacesMapEntry) {
    ArgumentParser parser("p");
    parser.addArgument("-x").defaultValue(std::string("first"));
    parser.addArgument("-x").defaultValue(std::string("second"));
    Words words{};
    parser.parseArgs(words.argc(), words.argv());
    EXPECT_EQ(parser.get<std::string>("-x"), "second");
}

TEST(ArgumentParser, SecondParseReportsDuplicates) {
    ArgumentParser parser("p");
    parser.addArgument("-a").defaultValue(false).implicitValue(true);
    Words words{"-a"};
    parser.parseArgs(words.argc(), words.argv());
    EXPECT_EQ(parseError(parser, {"-a"}), "Duplicate argument");
}

// Many and long words: linear work, correct result. Quadratic behaviour would take minutes at
// these sizes and trip the test timeout.
TEST(ArgumentParser, ManyAndLongWords) {
    std::vector<std::string> words(300000, "path");
    words.front() = "--center_trajectories";
    words.push_back(std::string(100000, 'x'));
    words.push_back(std::string("-") + std::string(100000, '7'));  // overflows: an option name
    words.push_back("with space \xff\xfe\x80 bytes");
    Words argv(words);
    ArgumentParser parser(kProgramName);
    declareProgramOptions(parser);
    parser.parseArgs(argv.argc(), argv.argv());
    auto paths = parser.get<std::vector<std::string>>(kTrajectoryPaths);
    ASSERT_EQ(paths.size(), words.size() - 1);
    EXPECT_EQ(paths[paths.size() - 3].size(), 100000u);
    EXPECT_EQ(paths.back(), "with space \xff\xfe\x80 bytes");
    EXPECT_TRUE(isOptionName(paths[paths.size() - 2]));
}

TEST(ArgumentParser, HelpWordPrintsAndExits) {
    auto run = [](std::initializer_list<std::string> list) {
        ArgumentParser parser(kProgramName);
        declareProgramOptions(parser);
        Words words(list);
        parser.parseArgs(words.argc(), words.argv());
    };
    EXPECT_EXIT(run({"--help", "--bogus"}), testing::ExitedWithCode(0), "");
    EXPECT_EXIT(run({"--log_dynamics", "-h"}), testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace Kor
