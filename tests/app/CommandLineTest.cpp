// The real orvane executable, its command line and its error report, byte for byte.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/ErrorReport.h"
#include "tests/support/Platform.h"
#include "tests/support/Process.h"
#include "tests/support/TempDir.h"

namespace {

using OrvaneTest::textMode;

using OrvaneTest::runOrvane;

using OrvaneTest::errorReport;
const std::string& kHelp = OrvaneTest::kOrvaneHelp;

// Each test runs in a fresh folder so that relative paths name nothing unexpected.
class CommandLine : public testing::Test {
protected:
    OrvaneTest::ProcessResult run(const std::vector<std::string>& args) {
        OrvaneTest::ProcessOptions options;
        options.workingDirectory = mDir.path().string();
        return runOrvane(args, options);
    }
    OrvaneTest::TempDir mDir;
};

TEST_F(CommandLine, NoArgumentsReportsMissingPaths) {
    auto r = run({});
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, textMode(errorReport("No value provided")));
    EXPECT_EQ(r.status, 1);
}

TEST_F(CommandLine, HelpGoesToStandardOutput) {
    for (auto args : {std::vector<std::string>{"-h"},
                      {"--help", "no-such-file"},
                      {"--log_dynamics", "--help", "--bogus"}}) {
        auto r = run(args);
        EXPECT_EQ(r.out, textMode(kHelp));
        EXPECT_EQ(r.err, "");
        EXPECT_EQ(r.status, 0);
    }
    EXPECT_TRUE(std::filesystem::is_empty(mDir.path()));
}

TEST_F(CommandLine, ParseErrorsUseTheUniformReport) {
    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    const Case cases[] = {
        {{"--bogus", "a"}, "Unknown argument"},
        {{"--bogus", "-h"}, "Unknown argument"},  // the earlier word wins
        {{"--center_trajectories", "--center_trajectories", "a"}, "Duplicate argument"},
        {{"-hh"}, "Duplicate argument"},
        {{"-hx"}, "Unknown argument"},
    };
    for (const auto& c : cases) {
        auto r = run(c.args);
        EXPECT_EQ(r.out, "") << c.message;
        EXPECT_EQ(r.err, textMode(errorReport(c.message)));
        EXPECT_EQ(r.status, 1);
    }
}

TEST_F(CommandLine, NegativeNumberIsAPath) {
    auto r = run({"-5", "-0.25"});
    EXPECT_EQ(r.out, textMode("2 trajectories provided\n\n"));
    EXPECT_EQ(r.err, textMode(errorReport("Trajectory path -5 does not exist!")));
    EXPECT_EQ(r.status, 1);
}

TEST_F(CommandLine, OptionsAfterThePathAreTakenAsPaths) {
    mDir.write("a.txt", "");
    auto r = run({"--log_dynamics", "a.txt", "--center_trajectories"});
    EXPECT_EQ(r.out, textMode("2 trajectories provided\n\n"));
    EXPECT_EQ(r.err,
              textMode(errorReport("Trajectory path --center_trajectories does not exist!")));
    EXPECT_EQ(r.status, 1);
}

TEST_F(CommandLine, StopsAtTheFirstMissingPath) {
    mDir.write("first.txt", "");
    mDir.write("third.txt", "");
    auto r = run({"first.txt", "second.txt", "third.txt"});
    EXPECT_EQ(r.out, textMode("3 trajectories provided\n\n"));
    EXPECT_EQ(r.err, textMode(errorReport("Trajectory path second.txt does not exist!")));
    EXPECT_EQ(r.status, 1);
}

TEST_F(CommandLine, PathsKeepSpacesAndBytesThatAreNotUtf8) {
#ifdef _WIN32
    GTEST_SKIP() << "a Windows command line holds UTF-16, so every path is UTF-8 in orvane";
#endif
    const std::string odd = "name with spaces \xff\xfe\x80";
    auto r = run({odd});
    EXPECT_EQ(r.out, textMode("1 trajectories provided\n\n"));
    EXPECT_EQ(r.err, textMode(errorReport("Trajectory path " + odd + " does not exist!")));
}

// Words that the system's command line must quote or escape, and characters beyond ASCII,
// reach the messages unchanged.
TEST_F(CommandLine, EveryWordArrivesAsTyped) {
    for (const std::string word :
         {"d\xc3\xa9j\xc3\xa0 vu/\xe8\xbb\x8c\xe8\xb7\xa1.txt", "say \"hi\"", "ends in\\",
          "two\\\\\"quoted\\\"", "tab\tand\xf0\x9f\x9a\x80", " "}) {
        auto r = run({word});
        EXPECT_EQ(r.out, textMode("1 trajectories provided\n\n")) << word;
        EXPECT_EQ(r.err, textMode(errorReport("Trajectory path " + word + " does not exist!")));
    }
}

TEST_F(CommandLine, ManyPaths) {
#ifdef _WIN32
    constexpr int kMany = 3000;  // a Windows command line holds at most 32767 characters
#else
    constexpr int kMany = 10000;
#endif
    std::vector<std::string> args(kMany, "missing");
    auto r = run(args);
    EXPECT_EQ(r.out, textMode(std::to_string(kMany) + " trajectories provided\n\n"));
    EXPECT_EQ(r.err, textMode(errorReport("Trajectory path missing does not exist!")));
    EXPECT_EQ(r.status, 1);
}

TEST_F(CommandLine, FailingExistenceQueryReportsThePlatformMessage) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows (and Wine) answer \"not found\" for every name they cannot look up";
#endif
    // A name longer than the system allows makes the query itself fail, not answer "no".
    const std::string longName(100000, 'n');
    std::string expected;
    try {
        (void)std::filesystem::exists(std::filesystem::path(longName));
    } catch (const std::filesystem::filesystem_error& error) {
        expected = error.what();
    }
    ASSERT_FALSE(expected.empty());
    auto r = run({longName});
    EXPECT_EQ(r.out, textMode("1 trajectories provided\n\n"));
    EXPECT_EQ(r.err, textMode(errorReport(expected)));
    EXPECT_EQ(r.status, 1);
}

// A directory passes the existence check; the pose reader then cannot open it.
TEST_F(CommandLine, DirectoryPassesTheExistenceCheck) {
    std::filesystem::create_directory(mDir.path() / "folder");
    auto r = run({"folder", "missing"});
    EXPECT_EQ(r.out, textMode("2 trajectories provided\n\n"));
    EXPECT_EQ(r.err, textMode("Error: Could not open folder" +
                              errorReport("Trajectory path missing does not exist!")));
    EXPECT_EQ(r.status, 1);
}

#ifdef ORVANE_WITHOUT_WINDOW
// Built without a window backend, orvane does all but show: each file is reported and logged,
// and the run ends as a failure that says why.
TEST_F(CommandLine, WithoutAWindowTheRunEndsAfterTheReports) {
    mDir.write("a.dat", "");
    auto r = run({"--log_dynamics", "a.dat"});
    EXPECT_EQ(r.out, textMode("1 trajectories provided\n\na.dat has 0 valid intervals.\n\n"));
    EXPECT_EQ(r.err,
              textMode("Error: this build of Orvane has no window to show the trajectories in\n"));
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(std::filesystem::exists(mDir.path() / "aDynamics.txt"));
}
#endif

}  // namespace
