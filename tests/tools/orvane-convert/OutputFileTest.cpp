// The output is replaced only by a commit; what is not a regular file is written in place.
#include "tools/orvane-convert/OutputFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "tests/support/TempDir.h"

namespace {

using OrvaneConvert::OutputFile;
namespace fs = std::filesystem;

std::size_t entriesIn(const fs::path& folder) {
    return static_cast<std::size_t>(
        std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

TEST(OutputFile, ACommitReplacesTheFileKeepingItsPermissions) {
    OrvaneTest::TempDir dir;
    const std::string path = dir.write("out.txt", "earlier");
    const std::string fresh = (dir.path() / "fresh.txt").string();
    ::chmod(path.c_str(), 0640);
    const mode_t previousMask = ::umask(022);
    for (const std::string& output : {path, fresh}) {
        const std::string before = OrvaneTest::readFile(output);
        OutputFile file;
        ASSERT_TRUE(file.open(output));
        EXPECT_FALSE(file.writesInPlace());
        ASSERT_TRUE(file.write("new "));
        ASSERT_TRUE(file.write("poses"));
        EXPECT_EQ(OrvaneTest::readFile(output), before);  // nothing visible before the commit
        ASSERT_TRUE(file.commit());
        EXPECT_EQ(OrvaneTest::readFile(output), "new poses");
    }
    ::umask(previousMask);
    EXPECT_EQ(entriesIn(dir.path()), 2u);
    struct stat status;
    ASSERT_EQ(::stat(path.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0640u);
    ASSERT_EQ(::stat(fresh.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0644u);
}

TEST(OutputFile, ThroughALinkTheFileItNamesIsReplaced) {
    OrvaneTest::TempDir dir;
    const std::string target = dir.write("target.txt", "earlier");
    const fs::path link = dir.path() / "link.txt";
    fs::create_symlink("target.txt", link);
    OutputFile output;
    ASSERT_TRUE(output.open(link.string()));
    ASSERT_TRUE(output.write("new"));
    ASSERT_TRUE(output.commit());
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(OrvaneTest::readFile(target), "new");
}

TEST(OutputFile, AMissingFolderOrAFolderInTheWayIsAnError) {
    OrvaneTest::TempDir dir;
    const std::string missing = (dir.path() / "no" / "out.txt").string();
    OutputFile output;
    EXPECT_FALSE(output.open(missing));
    EXPECT_EQ(output.error(), "cannot create " + missing + ": No such file or directory");
    OutputFile folder;
    EXPECT_FALSE(folder.open(dir.path().string()));
    EXPECT_EQ(folder.error(), "cannot write " + dir.path().string() + ": Is a directory");
}

}  // namespace
