// Recording a real window on a private X server: the frames that come through the pipe are the
// pictures the X server shows, caption overlay included.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <GL/gl.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "OpenGlLib/FrameStreamFormat.h"
#include "OpenGlLib/GLWindow.h"
#include "OpenGlLib/GLWindowInternals.h"
#include "OpenGlLib/PipeTransport.h"
#include "tests/support/RecordedFrame.h"
#include "tests/support/TempDir.h"
#include "tests/support/Xvfb.h"

namespace {

using namespace Kor;
using OrvaneTest::WindowImage;

// Reads the stream of one connection on its own thread, so that the window's blocking writes
// always find a reader; keeps the header and the latest frame.
class StreamReader {
public:
    explicit StreamReader(const std::string& path) {
        mFd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK);
        ::fcntl(mFd, F_SETFL, 0);
        mThread = std::thread([this] { run(); });
    }
    ~StreamReader() {
        if (mThread.joinable()) {
            mThread.join();
        }
        ::close(mFd);
    }
    bool opened() const { return mFd >= 0; }
    void join() { mThread.join(); }
    int frames() const { return mFrames.load(); }
    FrameStreamHeader header() {
        std::lock_guard lock(mMutex);
        return mHeader;
    }
    std::string latestFrame() {
        std::lock_guard lock(mMutex);
        return mLatest;
    }

private:
    bool readExactly(uint8_t* data, size_t size) {
        while (size > 0) {
            const ssize_t got = ::read(mFd, data, size);
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got <= 0) {
                return false;  // the window ended its stream
            }
            data += got;
            size -= static_cast<size_t>(got);
        }
        return true;
    }
    void run() {
        uint8_t bytes[kFrameStreamHeaderBytes];
        // Until the window connects, reads find no writer and end at once.
        while (!readExactly(bytes, sizeof bytes)) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        const FrameStreamHeader header = DecodeFrameStreamHeader(bytes);
        {
            std::lock_guard lock(mMutex);
            mHeader = header;
        }
        std::string frame(FrameBytes(header.width, header.height), '\0');
        while (readExactly(reinterpret_cast<uint8_t*>(frame.data()), frame.size())) {
            std::lock_guard lock(mMutex);
            mLatest = frame;
            ++mFrames;
        }
    }

    int mFd = -1;
    std::thread mThread;
    std::mutex mMutex;
    FrameStreamHeader mHeader{0, 0, 0};
    std::string mLatest;
    std::atomic<int> mFrames{0};
};

TEST(PipeRecordingWindow, TheRecordedFrameIsTheWindowsPictureWithItsCaption) {
    OrvaneTest::XvfbServer server;
    ASSERT_FALSE(server.display().empty()) << "Xvfb did not start";
    ::setenv("DISPLAY", server.display().c_str(), 1);
    OrvaneTest::TempDir dir;
    const std::string path = (dir.path() / "gk_pipe").string();
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    const std::unique_ptr<PipeTransport> fifo = MakeSystemPipeTransport(path);
    SetPipeTransport(fifo.get());

    // An odd width: rows of the frame are not a multiple of four bytes long.
    GLWindow window("Recorded", WindowSize{321, 200});
    ASSERT_TRUE(window.mIsOpen);
    OrvaneTest::XSession x(server.display());
    const unsigned long id = x.waitForWindow("Recorded");
    ASSERT_NE(id, 0u);
    // The caption is drawn with the window's font texture; a plain white one turns every
    // character into a white cell, whatever the font looks like.
    window.BeginFrame();
    if (window.mFontTexture != 0) {
        glDeleteTextures(1, &window.mFontTexture);
    }
    glGenTextures(1, &window.mFontTexture);
    glBindTexture(GL_TEXTURE_2D, window.mFontTexture);
    const std::vector<uint8_t> white(4 * 4 * 4, 255);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 4, 4, 0, GL_RGBA, GL_UNSIGNED_BYTE, white.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    window.EndFrame();

    StreamReader reader(path);
    ASSERT_TRUE(reader.opened());
    *window.mInternals->mRecordToPipe = 1;

    auto drawFrame = [&] {
        window.BeginFrame();
        glViewport(0, 0, window.mWidth, window.mHeight);
        glClearColor(0.2f, 0.4f, 0.6f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glColor3f(1.0f, 0.5f, 0.0f);
        glBegin(GL_TRIANGLES);
        glVertex2f(-0.5f, -0.5f);
        glVertex2f(0.5f, -0.5f);
        glVertex2f(0.0f, 0.7f);
        glEnd();
        window.Caption() << "Recorded frame";
        window.EndFrame();
    };
    WindowImage shown;
    WindowImage recorded;
    EXPECT_TRUE(OrvaneTest::waitFor([&] {
        drawFrame();
        if (reader.frames() < 2) {
            return false;
        }
        shown = x.capture(id);
        recorded = OrvaneTest::imageOfRecordedFrame(321, 200, reader.latestFrame());
        return shown.width == 321 && shown.pixels == recorded.pixels;
    }));
    EXPECT_EQ(reader.header().format, 7u);
    EXPECT_EQ(reader.header().width, 321u);
    EXPECT_EQ(reader.header().height, 200u);
    ASSERT_EQ(recorded.width, 321);
    // The caption is in the picture: white cells in its line only.
    int light = 0;
    for (int y = 0; y < recorded.height; ++y) {
        for (int x0 = 0; x0 < recorded.width; ++x0) {
            const auto p = recorded.at(x0, y);
            if (p == OrvaneTest::RGB{255, 255, 255}) {
                EXPECT_LT(y, 14) << x0;
                ++light;
            }
        }
    }
    EXPECT_GE(light, 14 * 9 * 10);  // ten of the fourteen characters' cells, at least

    // Switched off: the stream ends with the next frame.
    *window.mInternals->mRecordToPipe = 0;
    drawFrame();
    reader.join();
    EXPECT_FALSE(window.mInternals->mStreaming);
    SetPipeTransport(nullptr);
}

}  // namespace
