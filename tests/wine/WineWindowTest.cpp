// The Windows program (orvane.exe of the Windows build) under Wine on a private X server with
// Mesa: its WGL window shows the file where the camera puts it, the console and the menu take
// keys and clicks through XTest, orvane-record.exe records its frames over the named pipe,
// and closing the window ends the program with status 0.
// Wine lets the X window manager draw the frame, so the X window is the client area, whatever
// size the frame leaves it; predictions are made for the size captured.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <future>
#include <string>
#include <vector>

#include "tests/support/OrvaneOnXvfb.h"
#include "tests/support/PngImage.h"
#include "tests/support/ShippedMenu.h"
#include "tests/support/TempDir.h"

namespace {

using OrvaneTest::RGB;
using OrvaneTest::WindowImage;

OrvaneTest::ProcessOptions wineOptions() {
    OrvaneTest::ProcessOptions options;
    options.setEnv = {{"WINEPREFIX", ORVANE_WINEPREFIX},
                      {"WINEDEBUG", "-all"},
                      {"WINEDLLOVERRIDES", "mscoree,mshtml="},
                      {"LANG", "C.UTF-8"},
                      {"LC_ALL", "C.UTF-8"}};
    return options;
}

// Where the initial camera (no rotation but 0.35 rad about x, distance 2) draws p in a client
// area of the given size: the frustum is as wide as it is near, its height follows the aspect.
std::array<int, 2> pixel(const std::array<double, 3>& p, int width, int height) {
    const double c = std::cos(0.35), s = std::sin(0.35);
    const double x = p[0], y = c * p[1] - s * p[2], z = s * p[1] + c * p[2] + 2.0;
    const double half = width / 2.0;
    return {static_cast<int>(std::lround(half + half * x / z)),
            static_cast<int>(std::lround(height / 2.0 + half * y / z))};
}

int whiteIn(const WindowImage& image, int top, int bottom) {
    int found = 0;
    for (int y = std::max(top, 0); y < bottom && y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            found += image.at(x, y) == RGB{255, 255, 255} ? 1 : 0;
        }
    }
    return found;
}

TEST(WineWindowTest, TheWindowsProgramDrawsTakesConsoleAndMenuInputAndClosesWithStatus0) {
    // Text pose records with R = I and t = -p, so the drawn positions are p.
    const std::vector<std::array<double, 3>> points{{0, 0, 0}, {0.5, 0, 0}, {0, 0.5, 0}};
    OrvaneTest::TempDir dir;
    std::string records;
    for (size_t i = 0; i < points.size(); ++i) {
        const auto& p = points[i];
        records += std::to_string(i) + " 1 0 0 " + std::to_string(-p[0]) + " 0 1 0 " +
                   std::to_string(-p[1]) + " 0 0 1 " + std::to_string(-p[2]) + "\n";
    }
    const std::string file = dir.write("points.txt", records);

    OrvaneTest::OrvaneOnXvfb orvane({ORVANE_WINDOWS_EXE, file}, ORVANE_WINE64, wineOptions());
    const unsigned long window = orvane.window();
    ASSERT_NE(window, 0u) << "no window titled Orvane";
    OrvaneTest::XSession& x = orvane.x();

    WindowImage image;
    auto showsPoints = [&] {
        image = x.capture(window);
        for (const auto& p : points) {
            const auto at = pixel(p, image.width, image.height);
            if (image.countNear(at[0], at[1], 2, RGB{255, 0, 0}) == 0) {
                return false;
            }
        }
        return image.width > 300 && image.height > 200;
    };
    ASSERT_TRUE(OrvaneTest::waitFor(showsPoints, std::chrono::seconds(60)))
        << image.width << " x " << image.height;
    const int height = image.height;
    const int menuTop = height - 40;  // the shipped menu along the bottom edge
    EXPECT_TRUE(OrvaneTest::waitFor([&] {
        image = x.capture(window);
        return OrvaneTest::showsText(image, "Log", OrvaneTest::menuColumnLeft(4), menuTop,
                                     OrvaneTest::kMenuRed, true, 1);
    }));

    // The key left of 1 opens the console over the lower half; typed lines run there.
    x.focus(window);
    const unsigned backquote = x.keycodeOf("grave");
    x.tapKey(backquote);
    EXPECT_TRUE(OrvaneTest::waitFor([&] {
        image = x.capture(window);
        return whiteIn(image, height / 2 + 16, height / 2 + 36) > 0;
    }));
    x.typeText("setint wine.answer 42");
    x.tapNamed("Return");
    x.typeText("varlist");
    x.tapNamed("Return");
    x.tapKey(backquote);
    EXPECT_TRUE(OrvaneTest::waitFor([&] {
        image = x.capture(window);
        return whiteIn(image, height / 2, menuTop - 2) == 0;
    }));

    // A click on the Log toggle turns it on. Input is handled after posted messages, so the
    // window is closed only once the click has shown.
    x.movePointer(window, OrvaneTest::menuColumnLeft(4) + 10, menuTop + 5);
    x.button(1, true);
    x.button(1, false);
    EXPECT_TRUE(OrvaneTest::waitFor([&] {
        image = x.capture(window);
        return OrvaneTest::showsText(image, "Log", OrvaneTest::menuColumnLeft(4), menuTop,
                                     OrvaneTest::kMenuGreen, true, 1);
    }));

    // Recording asked for before any recorder serves the pipe: the window says so once and
    // keeps trying, and orvane-record.exe, started then, gets three frames without the console.
    x.tapKey(backquote);
    x.typeText("setint Orvane.RecordToPipe 1");
    x.tapNamed("Return");
    x.tapKey(backquote);
    EXPECT_TRUE(OrvaneTest::waitFor([&] {
        image = x.capture(window);
        return whiteIn(image, height / 2, menuTop - 2) == 0;
    }));
    const std::string shots = (dir.path() / "shots").string();
    auto recorder = std::async(std::launch::async, [&] {
        return OrvaneTest::runProcess(
            {ORVANE_WINE64, ORVANE_RECORD_WINDOWS_EXE, "--frames", "3", "--png", "Z:" + shots},
            wineOptions());
    });
    const OrvaneTest::ProcessResult recorded = recorder.get();
    EXPECT_EQ(recorded.status, 0) << recorded.err;
    for (const char* name : {"frame_000001.png", "frame_000002.png", "frame_000003.png"}) {
        const WindowImage frame = OrvaneTest::readPng(shots + "/" + name);
        ASSERT_EQ(frame.width, image.width) << name;
        EXPECT_EQ(frame.height, image.height) << name;
        for (const auto& p : points) {
            const auto at = pixel(p, frame.width, frame.height);
            EXPECT_GT(frame.countNear(at[0], at[1], 2, RGB{255, 0, 0}), 0) << name;
        }
    }

    const OrvaneTest::ProcessResult result = orvane.finish();
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(result.status, 0);
    // Windows line ends on standard output; each typed character arrived once.
    EXPECT_EQ(result.out.rfind("1 trajectories provided\r\n\r\n", 0), 0u) << result.out;
    EXPECT_NE(result.out.find("\r\nwine.answer = 42\r\n"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("\r\nOrvane.RecordToPipe = 0\r\n"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("Could not open pipe. GLE=2\r\n"), std::string::npos) << result.out;
}

}  // namespace
