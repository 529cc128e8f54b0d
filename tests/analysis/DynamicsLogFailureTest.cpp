// Dynamics logs that cannot be written whole, made so with POSIX means: a folder or a FIFO at
// the log's path, a link to /dev/full, a lowered file-size limit.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include "analysis/DynamicsLog.h"
#include "tests/support/TempDir.h"

namespace {

using Kor::TrajectoryState;

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
