// The recording pipe on Linux with real FIFOs on disk: what may stand at the pipe's name, and
// a reader that goes away.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <functional>
#include <string>

#include "OpenGlLib/PipeTransport.h"
#include "tests/support/TempDir.h"

namespace {

using namespace Kor;

struct FileState {
    std::string bytes;
    timespec modified{};
};

FileState stateOf(const std::string& path) {
    struct stat status {};
    ::stat(path.c_str(), &status);
    return {OrvaneTest::readFile(path), status.st_mtim};
}

TEST(FifoTransport, OnlyAFifoOfThisUserOpensAndNothingElseAtTheNameIsTouched) {
    OrvaneTest::TempDir dir;
    const std::string path = (dir.path() / "gk_pipe").string();
    const std::string target = dir.write("precious", "keep me");
    const std::string otherFifo = (dir.path() / "elsewhere").string();
    ASSERT_EQ(::mkfifo(otherFifo.c_str(), 0600), 0);
    // A reader on the FIFO behind a link, so that only the link can make the open fail.
    const int otherReader = ::open(otherFifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(otherReader, 0);

    struct Case {
        const char* what;
        std::function<void()> make;
        uint32_t error;
    };
    const Case cases[] = {
        {"nothing", [] {}, ENOENT},
        {"a FIFO without reader", [&] { ::mkfifo(path.c_str(), 0600); }, ENXIO},
        {"a regular file", [&] { dir.write("gk_pipe", "keep me too"); }, EINVAL},
        {"a directory", [&] { ::mkdir(path.c_str(), 0700); }, EINVAL},
        {"a link to a file", [&] { ::symlink(target.c_str(), path.c_str()); }, ELOOP},
        {"a link to a FIFO with a reader", [&] { ::symlink(otherFifo.c_str(), path.c_str()); },
         ELOOP},
    };
    const FileState before = stateOf(target);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove_all(path);
        c.make();
        const bool existed = std::filesystem::exists(std::filesystem::symlink_status(path));
        const FileState atName =
            existed && std::filesystem::is_regular_file(path) ? stateOf(path) : FileState{};
        const PipeOpenResult result = MakeSystemPipeTransport(path)->Open();
        EXPECT_EQ(result.status, PipeOpenStatus::Failed);
        EXPECT_EQ(result.error, c.error);
        EXPECT_EQ(std::filesystem::exists(std::filesystem::symlink_status(path)), existed);
        if (std::filesystem::is_regular_file(std::filesystem::symlink_status(path))) {
            const FileState after = stateOf(path);
            EXPECT_EQ(after.bytes, atName.bytes);
            EXPECT_EQ(after.modified.tv_nsec, atName.modified.tv_nsec);
        }
    }
    const FileState after = stateOf(target);
    EXPECT_EQ(after.bytes, before.bytes);
    EXPECT_EQ(after.modified.tv_sec, before.modified.tv_sec);
    EXPECT_EQ(after.modified.tv_nsec, before.modified.tv_nsec);
    char byte = 0;
    EXPECT_LE(::read(otherReader, &byte, 1), 0);  // nothing came through the link
    ::close(otherReader);
}

TEST(FifoTransport, AFifoOfAnotherUserIsRefusedEvenWithAReader) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to give a FIFO to another user";
    }
    OrvaneTest::TempDir dir;
    const std::string path = (dir.path() / "gk_pipe").string();
    ASSERT_EQ(::mkfifo(path.c_str(), 0666), 0);
    ASSERT_EQ(::chown(path.c_str(), 65534, 65534), 0);
    const int reader = ::open(path.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    const PipeOpenResult result = MakeSystemPipeTransport(path)->Open();
    EXPECT_EQ(result.status, PipeOpenStatus::Failed);
    EXPECT_EQ(result.error, static_cast<uint32_t>(EACCES));
    ::close(reader);
}

TEST(FifoTransport, WritesWaitForTheReaderAndAReaderThatLeavesIsAFailedWrite) {
    OrvaneTest::TempDir dir;
    const std::string path = (dir.path() / "gk_pipe").string();
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    const int reader = ::open(path.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    const std::unique_ptr<PipeTransport> fifo = MakeSystemPipeTransport(path);
    const PipeOpenResult opened = fifo->Open();
    ASSERT_EQ(opened.status, PipeOpenStatus::Opened);
    EXPECT_EQ(fifo->SetWriteMode(opened.handle), 0u);
    EXPECT_EQ(::fcntl(static_cast<int>(opened.handle), F_GETFL) & O_NONBLOCK, 0);
    const uint8_t bytes[3] = {1, 2, 3};
    EXPECT_EQ(fifo->Write(opened.handle, bytes, 3).written, 3u);
    ::close(reader);
    // Still here: SIGPIPE does not end the program.
    const PipeWriteResult failed = fifo->Write(opened.handle, bytes, 3);
    EXPECT_EQ(failed.status, PipeWriteStatus::Failed);
    EXPECT_EQ(failed.error, static_cast<uint32_t>(EPIPE));
    fifo->Close(opened.handle);
}

}  // namespace
