#include "analysis/DynamicsLog.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iomanip>
#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/Platform.h"
#include "tests/support/TempDir.h"

namespace {

using Kor::TrajectoryState;

// What an ostream with setw and setprecision(12) writes for the states, one line each.
std::string streamOracle(const std::vector<TrajectoryState>& states) {
    std::ostringstream out;
    for (const TrajectoryState& s : states) {
        out << std::setw(16) << std::setprecision(12) << s.time;
        for (double v : s.velocity) {
            out << std::setw(19) << std::setprecision(12) << v << ' ';
        }
        for (double v : s.acceleration) {
            out << std::setw(19) << std::setprecision(12) << v << ' ';
        }
        out << '\n';
    }
    return OrvaneTest::textMode(out.str());
}

TEST(DynamicsLog, FileNameIsDirectoryAndStemThenDynamics) {
    const std::pair<const char*, const char*> cases[] = {
#ifdef _WIN32
        // Backslash and slash split, a backslash joins.
        {"D:\\rec\\walk1.dat", "D:\\rec\\walk1Dynamics.txt"},
        {"rec/walk1.dat", "rec\\walk1Dynamics.txt"},
        {"walk.csv", "walkDynamics.txt"},
        {"D:\\rec\\take.2.dat", "D:\\rec\\take.2Dynamics.txt"},
        {"C:\\x.dat", "C:\\xDynamics.txt"},
        {"C:x.dat", "C:xDynamics.txt"},  // the drive's current folder
        {"\\\\server\\share\\x.dat", "\\\\server\\share\\xDynamics.txt"},
        {"a\\\\b.txt", "a\\bDynamics.txt"},
        {"rec\\.hidden", "rec\\.hiddenDynamics.txt"},
        {"back\\slash.txt", "back\\slashDynamics.txt"},
        {"r\xc3\xa9"
         "c\\m\xc3\xbcr.dat",
         "r\xc3\xa9"
         "c\\m\xc3\xbcrDynamics.txt"},
        {"..", "..Dynamics.txt"},
#else
        {"rec/walk1.dat", "rec/walk1Dynamics.txt"},
        {"walk.csv", "walkDynamics.txt"},
        {"rec/take.2.dat", "rec/take.2Dynamics.txt"},
        {"/x.dat", "/xDynamics.txt"},
        {"//x.dat", "/xDynamics.txt"},
        {"a//b.txt", "a/bDynamics.txt"},
        {"rec/.hidden", "rec/.hiddenDynamics.txt"},
        {"..dat", ".Dynamics.txt"},
        {"noext", "noextDynamics.txt"},
        {"a.b/c", "a.b/cDynamics.txt"},
        {"back\\slash.txt", "back\\slashDynamics.txt"},  // not a separator here
        {"rec/", "rec/Dynamics.txt"},
        {"..", "..Dynamics.txt"},
#endif
    };
    for (const auto& [input, expected] : cases) {
        EXPECT_EQ(Kor::dynamicsLogPath(input), expected) << input;
    }
}

TEST(DynamicsLog, LinesAreWhatAStreamWouldWrite) {
    const double inf = std::numeric_limits<double>::infinity();
    std::vector<TrajectoryState> states(3);
    states[0].time = 0.03;  // all twists zero: twelve spaces, 0.03, then 18 spaces, 0 and a space
    states[1].time = -1.23456789012e-300;  // wider than its field: widened, never cut
    states[1].velocity = {-1.5e-20, -0.0, 1e300, inf, -inf, std::nan("")};
    states[1].acceleration = {123456789012345.0, 0.1, 1.0 / 3, -2.5e-5, 1e16, 5e-324};
    std::mt19937_64 random(5);
    std::normal_distribution<double> normal(0, 30);
    for (int i = 0; i < 200; ++i) {
        TrajectoryState s;
        s.time = 0.01 * i + normal(random) * 1e-6;
        for (int k = 0; k < 6; ++k) {
            s.velocity[k] = normal(random);
            s.acceleration[k] = normal(random) * 1e3;
        }
        states.push_back(s);
    }
    OrvaneTest::TempDir dir;
    const std::string input = (dir.path() / "walk.dat").string();
    ASSERT_EQ(Kor::writeDynamicsLog(states, input).outcome, Kor::DynamicsLogOutcome::Written);
    const std::string log = OrvaneTest::readFile(dir.path() / "walkDynamics.txt");
    EXPECT_EQ(log, streamOracle(states));
    std::string zeros = std::string(12, ' ') + "0.03";
    for (int k = 0; k < 12; ++k) {
        zeros += std::string(18, ' ') + "0 ";
    }
    const std::string firstLine = zeros + OrvaneTest::textMode("\n");
    EXPECT_EQ(log.substr(0, firstLine.size()), firstLine);
    EXPECT_EQ(log.find("-1.23456789012e-300           -1.5e-20"), firstLine.size());
}

TEST(DynamicsLog, OverwritesAnEarlierLog) {
    OrvaneTest::TempDir dir;
    const std::string input = dir.write("p.txt", "");
    const std::string log = dir.write("pDynamics.txt", std::string(1000, 'x'));
    EXPECT_EQ(Kor::writeDynamicsLog(std::vector<TrajectoryState>(2), input).outcome,
              Kor::DynamicsLogOutcome::Written);
    EXPECT_EQ(OrvaneTest::readFile(log).size(), 2 * (256 + OrvaneTest::textMode("\n").size()));
    EXPECT_EQ(Kor::writeDynamicsLog({}, input).outcome, Kor::DynamicsLogOutcome::Written);
    EXPECT_TRUE(std::filesystem::exists(log));
    EXPECT_EQ(OrvaneTest::readFile(log), "");
}

}  // namespace
