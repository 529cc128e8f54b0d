// The real orvane executable, its command line and its error report, byte for byte.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/ErrorReport.h"
#include "tests/support/Process.h"
#include "tests/support/TempDir.h"

namespace {

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
    EXPECT_EQ(r.err, errorReport("No value provided"));
    EXPECT_EQ(r.status, 1);
}

TEST_F(CommandLine, HelpGoesToStandardOutput) {
    for (auto args : {std::vector<std::string>{"-h"},
                      {"--help", "no-such-file"},
                      {"--log_dynamics", "--help", "--bogus"}}) {
        auto r = run(args);
        EXPECT_EQ(r.out, kHelp);
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
        EXPECT_EQ(r.err, errorReport(c.message));
        EXPECT_EQ(r.status, 1);
    }
}

TEST_F(CommandLine, NegativeNumberIsAPath) {
    auto r = run({"-5", "-0.25"});
    EXPECT_EQ(r.out, "2 trajectories provided\n\n");
    EXPECT_EQ(r.err, errorReport("Trajectory path -5 does not exist!"));
    EXPECT_EQ(r.status, 1);
}

TEST_F(CommandLine, OptionsAfterThePathAreTakenAsPaths) {
    mDir.write("a.txt", "");
    auto r = run({"--log_dynamics", "a.txt", "--center_trajectories"});
    EXPECT_EQ(r.out, "2 trajectories provided\n\n");
    EXPECT_EQ(r.err, errorReport("Trajectory path --center_trajectories does not exist!"));
    EXPECT_EQ(r.status, 1);
}

TEST_F(CommandLine, StopsAtTheFirstMissingPath) {
    mDir.write("first.txt", "");
    mDir.write("third.txt", "");
    auto r = run({"first.txt", "second.txt", "third.txt"});
    EXPECT_EQ(r.out, "3 trajectories provided\n\n");
    EXPECT_EQ(r.err, errorReport("Trajectory path second.txt does not exist!"));
    EXPECT_EQ(r.status, 1);
}

TEST_F(CommandLine, PathsKeepSpacesAndBytesThatAreNotUtf8) {
    const std::string odd = "name with spaces \xff\xfe\x80";
    auto r = run({odd});
    EXPECT_EQ(r.out, "1 trajectories provided\n\n");
    EXPECT_EQ(r.err, errorReport("Trajectory path " + odd + " does not exist!"));
}

TEST_F(CommandLine, ManyPaths) {
    std::vector<std::string> args(10000, "missing");
    auto r = run(args);
    EXPECT_EQ(r.out, "10000 trajectories provided\n\n");
    EXPECT_EQ(r.err, errorReport("Trajectory path missing does not exist!"));
    EXPECT_EQ(r.status, 1);
}

TEST_F(CommandLine, FailingExistenceQueryReportsThePlatformMessage) {
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
    EXPECT_EQ(r.out, "1 trajectories provided\n\n");
    EXPECT_EQ(r.err, errorReport(expected));
    EXPECT_EQ(r.status, 1);
}

// A directory passes the existence check; the pose reader then cannot open it.
TEST_F(CommandLine, DirectoryPassesTheExistenceCheck) {
    std::filesystem::create_directory(mDir.path() / "folder");
    auto r = run({"folder", "missing"});
    EXPECT_EQ(r.out, "2 trajectories provided\n\n");
    EXPECT_EQ(r.err, "Error: Could not open folder" +
                         errorReport("Trajectory path missing does not exist!"));
    EXPECT_EQ(r.status, 1);
}

}  // namespace
