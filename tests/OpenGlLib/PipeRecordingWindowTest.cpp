// Recording a real window on a private X server: the frames that come through a real FIFO are
// the picture the X server shows, caption overlay included.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "OpenGlLib/FrameStreamFormat.h"
#include "OpenGlLib/GLHeaders.h"
#include "OpenGlLib/GLWindow.h"
#include "OpenGlLib/GLWindowInternals.h"
#include "OpenGlLib/PipeTransport.h"
#include "tests/support/RecordedFrame.h"
#include "tests/support/TempDir.h"
#include "tests/support/Xvfb.h"

namespace {

using namespace Kor;
using OrvaneTest::WindowImage;

bool readExactly(int fd, std::string& bytes) {
    for (size_t done = 0; done < bytes.size();) {
        const ssize_t got = ::read(fd, bytes.data() + done, bytes.size() - done);
        if (got <= 0) {
            return false;
        }
        done += static_cast<size_t>(got);
    }
    return true;
}

void drawScene(GLWindow& window) {
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
}

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

    // A reader of three frames, which then goes away; its open waits for the window's.
    std::string header(kFrameStreamHeaderBytes, '\0');
    std::string frame(FrameBytes(321, 200), '\0');
    std::atomic<bool> done{false};
    std::thread reader([&] {
        const int fd = ::open(path.c_str(), O_RDONLY);
        if (readExactly(fd, header)) {
            for (int i = 0; i < 3 && readExactly(fd, frame); ++i) {
            }
        }
        ::close(fd);
        done = true;
    });
    *window.mInternals->mRecordToPipe = 1;
    testing::internal::CaptureStdout();
    const bool recorded3 = OrvaneTest::waitFor([&] {
        drawScene(window);
        return done.load();
    });
    if (!recorded3) {
        ::close(::open(path.c_str(), O_WRONLY | O_NONBLOCK));  // frees a reader still waiting
    }
    reader.join();
    ASSERT_TRUE(recorded3) << "the window sent no stream";
    drawScene(window);  // the same picture, no longer recorded
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "WriteFile to pipe failed. GLE=32\n");
    SetPipeTransport(nullptr);

    const auto expectedHeader = EncodeFrameStreamHeader({kFrameStreamFormat, 321, 200});
    EXPECT_EQ(header, std::string(expectedHeader.begin(), expectedHeader.end()));
    OrvaneTest::XSession x(server.display());
    const WindowImage shown = x.capture(x.waitForWindow("Recorded"));
    const WindowImage recorded = OrvaneTest::imageOfRecordedFrame(321, 200, frame);
    ASSERT_EQ(shown.width, 321);
    EXPECT_EQ(shown.pixels, recorded.pixels);
    // The caption is in the picture: white ink in its line only.
    int whitePixels = 0;
    for (int y = 0; y < recorded.height; ++y) {
        for (int x0 = 0; x0 < recorded.width; ++x0) {
            if (recorded.at(x0, y) == OrvaneTest::RGB{255, 255, 255}) {
                EXPECT_LT(y, 14) << x0;
                ++whitePixels;
            }
        }
    }
    EXPECT_GE(whitePixels, 100);  // the ink of fourteen characters
}

}  // namespace
