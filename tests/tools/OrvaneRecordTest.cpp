// orvane-record end to end: the real tool reading its FIFO, fed by this test (segments,
// stops, Ctrl+C) and by the real orvane on a private X server (PNG files equal to the window,
// a video).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <future>
#include <string>

#include "OpenGlLib/FrameStreamFormat.h"
#include "tests/support/PngImage.h"
#include "tests/support/Process.h"
#include "tests/support/RecordedFrame.h"
#include "tests/support/TempDir.h"
#include "tests/support/Xvfb.h"
#include "tools/orvane-record/VideoEncoder.h"

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;
using OrvaneTest::ProcessResult;
using OrvaneTest::WindowImage;

std::string header(uint32_t width, uint32_t height) {
    const auto bytes = Kor::EncodeFrameStreamHeader({Kor::kFrameStreamFormat, width, height});
    return std::string(bytes.begin(), bytes.end());
}

std::string frame(uint32_t width, uint32_t height, int seed) {
    std::string bytes(Kor::FrameBytes(width, height), '\0');
    for (size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<char>((i * 29 + static_cast<size_t>(seed) * 71) % 256);
    }
    return bytes;
}

// The tool running in the background with its pipe in `dir`.
class Recorder {
public:
    Recorder(const OrvaneTest::TempDir& dir, std::vector<std::string> arguments,
             std::vector<std::pair<std::string, std::string>> env = {})
        : fifo((dir.path() / "gk_pipe").string()) {
        ::signal(SIGPIPE, SIG_IGN);  // the tool may leave while we write
        OrvaneTest::ProcessOptions options;
        options.setEnv = {{"XDG_RUNTIME_DIR", dir.path().string()}};
        options.setEnv.insert(options.setEnv.end(), env.begin(), env.end());
        options.timeout = 120s;
        std::promise<int> started;
        options.started = [&](int id) { started.set_value(id); };
        arguments.insert(arguments.begin(), ORVANE_RECORD_EXE);
        mRun = std::async(std::launch::async,
                          [=] { return OrvaneTest::runProcess(arguments, options); });
        pid = started.get_future().get();
    }
    ProcessResult result() { return mRun.get(); }

    // A writer's end of the pipe once the tool reads it, as Orvane opens it; -1 when none came.
    int connect() {
        int fd = -1;
        OrvaneTest::waitFor([&] {
            fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            return fd >= 0;
        });
        if (fd >= 0) {
            ::fcntl(fd, F_SETFL, 0);
        }
        return fd;
    }

    const std::string fifo;
    int pid = -1;

private:
    std::future<ProcessResult> mRun;
};

bool writeAll(int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

// Until the reader has taken every byte written so far.
bool drained(int fd) {
    return OrvaneTest::waitFor([&] {
        int unread = 0;
        return ::ioctl(fd, FIONREAD, &unread) == 0 && unread == 0;
    });
}

std::string ffmpegOrSkipReason() {
    return OrvaneRecord::FindExecutable("ffmpeg").empty()
               ? "ffmpeg is not installed (scripts/setup.sh installs it); videos are not tested"
               : "";
}

// "width,height,frames" of a video's first stream.
std::string probe(const std::string& video) {
    const ProcessResult probed = OrvaneTest::runProcess(
        {OrvaneRecord::FindExecutable("ffprobe"), "-v", "error", "-count_frames", "-select_streams",
         "v:0", "-show_entries", "stream=width,height,nb_read_frames", "-of", "csv=p=0", video});
    return probed.out;
}

TEST(OrvaneRecord, EachConnectionIsASegmentAndTheFrameLimitEndsTheRecording) {
    OrvaneTest::TempDir dir;
    const std::string shots = (dir.path() / "shots").string();
    Recorder recorder(dir, {"--frames", "3", "--png", shots});
    int fd = recorder.connect();
    ASSERT_GE(fd, 0);
    // A frame cut short by a writer that went away is left out.
    EXPECT_TRUE(writeAll(
        fd, header(4, 3) + frame(4, 3, 1) + frame(4, 3, 2) + frame(4, 3, 3).substr(0, 20)));
    EXPECT_TRUE(drained(fd));
    ::close(fd);
    // The tool notices the end of the connection at once; give it time to open the next one,
    // since a writer that comes back before that would continue the old connection.
    std::this_thread::sleep_for(300ms);
    fd = recorder.connect();
    ASSERT_GE(fd, 0);
    writeAll(fd, header(5, 2) + frame(5, 2, 4) + frame(5, 2, 5));
    const ProcessResult result = recorder.result();
    ::close(fd);

    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.err.find("orvane-record: 3 frames in 2 segments, PNG files in " + shots +
                              " (1 frame cut short left out)\n"),
              std::string::npos)
        << result.err;
    const struct {
        const char* name;
        uint32_t width, height;
        int seed;
    } expected[] = {{"frame_000001.png", 4, 3, 1},
                    {"frame_000002.png", 4, 3, 2},
                    {"frame_000003.png", 5, 2, 4}};
    for (const auto& e : expected) {
        const WindowImage written = OrvaneTest::readPng(shots + "/" + e.name);
        const WindowImage sent =
            OrvaneTest::imageOfRecordedFrame(static_cast<int>(e.width), static_cast<int>(e.height),
                                             frame(e.width, e.height, e.seed));
        EXPECT_EQ(written.width, sent.width) << e.name;
        EXPECT_EQ(written.pixels, sent.pixels) << e.name;
    }
    EXPECT_FALSE(fs::exists(shots + "/frame_000004.png"));
    EXPECT_FALSE(fs::exists(fs::symlink_status(recorder.fifo)));  // the tool removed its FIFO
}

TEST(OrvaneRecord, WithoutALimitTheRecordingEndsWhenTheWriterStops) {
    OrvaneTest::TempDir dir;
    Recorder recorder(dir, {"--png", dir.path().string()});
    const int fd = recorder.connect();
    ASSERT_GE(fd, 0);
    writeAll(fd, header(2, 2) + frame(2, 2, 1) + frame(2, 2, 2));
    ::close(fd);
    const ProcessResult result = recorder.result();
    EXPECT_EQ(result.status, 0);
    EXPECT_TRUE(fs::exists(dir.path() / "frame_000002.png"));
    EXPECT_FALSE(fs::exists(dir.path() / "frame_000003.png"));
    EXPECT_FALSE(fs::exists(fs::symlink_status(recorder.fifo)));
}

TEST(OrvaneRecord, CtrlCWhileWaitingEndsCleanlyAndRemovesThePipe) {
    OrvaneTest::TempDir dir;
    Recorder recorder(dir, {"--png", dir.path().string()});
    ASSERT_TRUE(OrvaneTest::waitFor([&] { return fs::exists(recorder.fifo); }));
    ::kill(recorder.pid, SIGINT);
    const ProcessResult result = recorder.result();
    EXPECT_EQ(result.status, 0);
    EXPECT_NE(result.err.find("orvane-record: 0 frames in 0 segments\n"), std::string::npos)
        << result.err;
    EXPECT_FALSE(fs::exists(fs::symlink_status(recorder.fifo)));
}

TEST(OrvaneRecord, WhatIsAlreadyAtThePipesNameIsLeftAlone) {
    OrvaneTest::TempDir dir;
    const std::string path = dir.write("gk_pipe", "not a pipe");
    Recorder recorder(dir, {"--png", dir.path().string()});
    const ProcessResult result = recorder.result();
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "orvane-record: " + path +
                              " already exists: another orvane-record may be recording; if none "
                              "is, remove it\n");
    EXPECT_EQ(OrvaneTest::readFile(path), "not a pipe");
}

TEST(OrvaneRecord, AVideoWithoutFfmpegIsRefusedBeforeAnythingIsMade) {
    OrvaneTest::TempDir dir;
    Recorder recorder(dir, {"--video", (dir.path() / "take.mp4").string()},
                      {{"PATH", "/nonexistent"}});
    const ProcessResult result = recorder.result();
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err,
              "orvane-record: --video needs ffmpeg, which is not installed (on Debian: apt-get "
              "install ffmpeg); --png works without it\n");
    EXPECT_FALSE(fs::exists(fs::symlink_status(recorder.fifo)));
}

TEST(OrvaneRecord, CtrlCFinishesTheVideoOfWhatCameSoFar) {
    if (const std::string reason = ffmpegOrSkipReason(); !reason.empty()) {
        GTEST_SKIP() << reason;
    }
    OrvaneTest::TempDir dir;
    const std::string video = (dir.path() / "take.mp4").string();
    Recorder recorder(dir, {"--frames", "100", "--video", video});
    const int fd = recorder.connect();
    ASSERT_GE(fd, 0);
    writeAll(fd, header(5, 3) + frame(5, 3, 1) + frame(5, 3, 2));
    ASSERT_TRUE(drained(fd));  // the tool has both frames before it sees the signal
    ::kill(recorder.pid, SIGINT);
    const ProcessResult result = recorder.result();
    ::close(fd);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(probe(video), "6,4,2\n");  // odd sides padded to even ones
    EXPECT_FALSE(fs::exists(fs::symlink_status(recorder.fifo)));
}

// The real program, copied beside a menu script that switches recording on as it starts.
class RecordOrvane : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(server.display().empty()) << "Xvfb did not start";
        fs::create_directory(dir.path() / "bin");
        fs::copy_file(ORVANE_EXE, dir.path() / "bin/orvane");
        dir.write("bin/OrvaneMenu.cfg", "setint Orvane.RecordToPipe 1\n");
    }
    std::future<ProcessResult> startOrvane() {
        OrvaneTest::ProcessOptions options;
        options.setEnv = {{"DISPLAY", server.display()}, {"XDG_RUNTIME_DIR", dir.path().string()}};
        options.timeout = 120s;
        const std::string program = (dir.path() / "bin/orvane").string();
        return std::async(std::launch::async, [=] {
            return OrvaneTest::runProcess({program, ORVANE_SOURCE_DIR "/examples/figure_eight.txt"},
                                          options);
        });
    }

    OrvaneTest::XvfbServer server;
    OrvaneTest::TempDir dir;
};

TEST_F(RecordOrvane, NFramesBecomeNPngFilesEqualToTheWindow) {
    const std::string shots = (dir.path() / "shots").string();
    Recorder recorder(dir, {"--frames", "3", "--png", shots});
    auto orvane = startOrvane();
    const ProcessResult recorded = recorder.result();
    EXPECT_EQ(recorded.status, 0) << recorded.err;

    // The recorder has gone; the program goes on, without recording, and shows the same view.
    OrvaneTest::XSession x(server.display());
    const unsigned long window = x.waitForWindow("Orvane");
    ASSERT_NE(window, 0u);
    const WindowImage shown = x.capture(window);
    ASSERT_EQ(shown.width, 640);
    EXPECT_GT(shown.count({255, 0, 0}), 100);  // the figure eight
    for (const char* name : {"frame_000001.png", "frame_000002.png", "frame_000003.png"}) {
        EXPECT_EQ(OrvaneTest::readPng(shots + "/" + name).pixels, shown.pixels) << name;
    }
    EXPECT_FALSE(fs::exists(shots + "/frame_000004.png"));

    x.sendDeleteWindow(window);
    const ProcessResult ran = orvane.get();
    EXPECT_EQ(ran.status, 0);
    EXPECT_EQ(ran.out, "1 trajectories provided\n\nWriteFile to pipe failed. GLE=32\n");
}

TEST_F(RecordOrvane, AVideoIsMadeWhenFfmpegIsInstalled) {
    if (const std::string reason = ffmpegOrSkipReason(); !reason.empty()) {
        GTEST_SKIP() << reason;
    }
    const std::string video = (dir.path() / "take.mp4").string();
    Recorder recorder(dir, {"--frames", "4", "--video", video});
    auto orvane = startOrvane();
    const ProcessResult recorded = recorder.result();
    EXPECT_EQ(recorded.status, 0) << recorded.err;
    EXPECT_EQ(probe(video), "640,480,4\n");

    OrvaneTest::XSession x(server.display());
    const unsigned long window = x.waitForWindow("Orvane");
    ASSERT_NE(window, 0u);
    x.sendDeleteWindow(window);
    EXPECT_EQ(orvane.get().status, 0);
}

}  // namespace
