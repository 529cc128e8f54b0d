// The recording pipe on Linux with real FIFOs on disk: what may stand at the pipe's name, and
// a whole stream through the kernel's pipe buffer to a reader that reads, then goes away.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <functional>
#include <string>
#include <thread>

#include "OpenGlLib/FrameStreamFormat.h"
#include "OpenGlLib/GLWindow.h"
#include "OpenGlLib/GLWindowInternals.h"
#include "OpenGlLib/PipeOutput.h"
#include "OpenGlLib/PipeTransport.h"
#include "tests/support/FakeWindowSystem.h"
#include "tests/support/TempDir.h"

namespace {

using namespace Kor;
using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

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

// Reads exactly `size` bytes, or until the writer is gone.
std::string readBytes(int fd, size_t size) {
    std::string bytes;
    char buffer[65536];
    while (bytes.size() < size) {
        const ssize_t got = ::read(fd, buffer, std::min(sizeof buffer, size - bytes.size()));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            break;
        }
        bytes.append(buffer, static_cast<size_t>(got));
    }
    return bytes;
}

void paintGrey(int32_t width, int32_t height, int32_t rowPixels, uint8_t* pixels) {
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width * 3; ++x) {
            pixels[static_cast<size_t>(y) * rowPixels * 3 + x] = static_cast<uint8_t>(x + y);
        }
    }
}

TEST(FifoTransport, FramesLargerThanThePipeArriveWholeAndAReaderThatLeavesIsAFailedWrite) {
    OrvaneTest::TempDir dir;
    const std::string path = (dir.path() / "gk_pipe").string();
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    const std::unique_ptr<PipeTransport> fifo = MakeSystemPipeTransport(path);
    SetPipeTransport(fifo.get());
    OrvaneTest::ScopedFakeWindowSystem system;
    GLWindow window("Fifo", WindowSize{700, 500});
    window.mWidth = 700;
    window.mHeight = 500;
    GLWindowInternals& internals = *window.mInternals;
    const size_t frameBytes = FrameBytes(700, 500);  // about 16 times the pipe's buffer

    const int reader = ::open(path.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    ::fcntl(reader, F_SETFL, 0);  // reads wait for the writer from here on
    std::string received;
    std::thread readerThread([&] {
        received = readBytes(reader, kFrameStreamHeaderBytes + 2 * frameBytes);
        ::close(reader);  // goes away in the middle of the stream
    });
    *internals.mRecordToPipe = 1;
    CaptureStdout();
    RecordFrame(internals, paintGrey);
    RecordFrame(internals, paintGrey);
    readerThread.join();
    RecordFrame(internals, paintGrey);  // still alive: SIGPIPE is not the end of the program
    const std::string printed = GetCapturedStdout();

    const auto header = EncodeFrameStreamHeader({kFrameStreamFormat, 700, 500});
    ASSERT_EQ(received.size(), kFrameStreamHeaderBytes + 2 * frameBytes);
    EXPECT_EQ(received.substr(0, 12), std::string(header.begin(), header.end()));
    std::string frame(frameBytes, '\0');
    paintGrey(700, 500, 700, reinterpret_cast<uint8_t*>(frame.data()));
    EXPECT_EQ(received.substr(12, frameBytes), frame);
    EXPECT_EQ(received.substr(12 + frameBytes), frame);
    EXPECT_EQ(printed, "WriteFile to pipe failed. GLE=32\n");
    EXPECT_EQ(*internals.mRecordToPipe, 0);

    RecordFrame(internals, paintGrey);
    EXPECT_FALSE(internals.mStreaming);
    EXPECT_FALSE(IsPipeOpen());
    SetPipeTransport(nullptr);
}

}  // namespace
