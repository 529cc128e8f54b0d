#include "analysis/DynamicsLog.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <iomanip>
#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <vector>

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
    return out.str();
}

TEST(DynamicsLog, FileNameIsDirectoryAndStemThenDynamics) {
    const std::pair<const char*, const char*> cases[] = {
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
    EXPECT_EQ(log.substr(0, 257), zeros + "\n");
    EXPECT_EQ(log.find("-1.23456789012e-300           -1.5e-20"), 257u);
}

TEST(DynamicsLog, OverwritesAnEarlierLog) {
    OrvaneTest::TempDir dir;
    const std::string input = dir.write("p.txt", "");
    const std::string log = dir.write("pDynamics.txt", std::string(1000, 'x'));
    EXPECT_EQ(Kor::writeDynamicsLog(std::vector<TrajectoryState>(2), input).outcome,
              Kor::DynamicsLogOutcome::Written);
    EXPECT_EQ(OrvaneTest::readFile(log).size(), 2 * 257u);
    EXPECT_EQ(Kor::writeDynamicsLog({}, input).outcome, Kor::DynamicsLogOutcome::Written);
    EXPECT_TRUE(std::filesystem::exists(log));
    EXPECT_EQ(OrvaneTest::readFile(log), "");
}

// Lowers the largest file this process may write; a write beyond it fails with EFBIG instead
// of raising SIGXFSZ.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        mSignal = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &mSaved);
        rlimit lowered = mSaved;
        lowered.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &mSaved);
        std::signal(SIGXFSZ, mSignal);
    }

private:
    rlimit mSaved{};
    void (*mSignal)(int) = nullptr;
};

// A log that cannot be opened, or whose writes fail part way, says so with the system's error;
// a regular file cut short is removed, and nothing else at the log's path is.
TEST(DynamicsLog, FailuresAreReportedAndACutLogIsRemoved) {
    using Kor::DynamicsLogOutcome;
    OrvaneTest::TempDir dir;
    const std::vector<TrajectoryState> states(100);  // 25,700 bytes
    std::filesystem::create_directory(dir.path() / "qDynamics.txt");
    std::filesystem::create_symlink("/dev/full", dir.path() / "fullDynamics.txt");

    const Kor::DynamicsLogResult noFolder =
        Kor::writeDynamicsLog(states, (dir.path() / "no/p.txt").string());
    EXPECT_EQ(noFolder.outcome, DynamicsLogOutcome::NotOpened);
    EXPECT_EQ(noFolder.error, ENOENT);

    const Kor::DynamicsLogResult folder =
        Kor::writeDynamicsLog(states, (dir.path() / "q.bin").string());
    EXPECT_EQ(folder.outcome, DynamicsLogOutcome::NotOpened);
    EXPECT_EQ(folder.error, EISDIR);
    EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "qDynamics.txt"));

    // A FIFO would block the open until something reads it.
    ASSERT_EQ(::mkfifo((dir.path() / "fifoDynamics.txt").c_str(), 0600), 0);
    const Kor::DynamicsLogResult fifo =
        Kor::writeDynamicsLog(states, (dir.path() / "fifo.txt").string());
    EXPECT_EQ(fifo.outcome, DynamicsLogOutcome::NotOpened);
    EXPECT_EQ(fifo.error, ENXIO);

    if (std::filesystem::exists("/dev/full")) {
        const Kor::DynamicsLogResult full =
            Kor::writeDynamicsLog(states, (dir.path() / "full.dat").string());
        EXPECT_EQ(full.outcome, DynamicsLogOutcome::IncompleteKept);
        EXPECT_EQ(full.error, ENOSPC);
        EXPECT_TRUE(std::filesystem::is_symlink(dir.path() / "fullDynamics.txt"));
    }

    dir.write("cutDynamics.txt", "an earlier log");
    Kor::DynamicsLogResult cut;
    {
        const FileSizeLimit limit(10000);
        cut = Kor::writeDynamicsLog(states, (dir.path() / "cut.txt").string());
    }
    EXPECT_EQ(cut.outcome, DynamicsLogOutcome::IncompleteRemoved);
    EXPECT_EQ(cut.error, EFBIG);
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "cutDynamics.txt"));
}

}  // namespace
