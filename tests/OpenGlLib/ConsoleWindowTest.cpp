// The console in the real program's window on a private X server, driven by keys typed through
// XTest: the commands' output shows which lines ran, the screen shows where the console is.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/OrvaneOnXvfb.h"

namespace {

using OrvaneTest::WindowImage;

// White pixels in the rows top .. bottom - 1 and columns left .. right - 1.
int whiteIn(const WindowImage& image, int top, int bottom, int left, int right) {
    int found = 0;
    for (int y = top; y < bottom && y < image.height; ++y) {
        for (int x = left; x < right && x < image.width; ++x) {
            found += image.at(x, y) == OrvaneTest::RGB{255, 255, 255} ? 1 : 0;
        }
    }
    return found;
}

size_t occurrences(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

TEST(ConsoleWindowTest, TheKeyLeftOf1OpensAConsoleThatRunsCompletesAndRecallsLines) {
    // An empty trajectory: the scene stays black, so anything white is the console's.
    OrvaneTest::OrvaneOnXvfb orvane({ORVANE_SOURCE_DIR "/README.md"});
    const unsigned long window = orvane.window();
    ASSERT_NE(window, 0u);
    OrvaneTest::XSession& x = orvane.x();
    EXPECT_TRUE(x.asksForKeyboardFocus(window));
    x.focus(window);

    // 640 x 480: the console covers rows 240 to 479, its prompt ">" begins at (10, 260). The
    // menu's buttons are white too, in the bottom row of text from y = 439.
    auto shown = [](const WindowImage& image) {
        return image.width == 640 && whiteIn(image, 258, 274, 8, 20) > 0 &&
               whiteIn(image, 0, 236, 0, 640) == 0;
    };
    auto hidden = [](const WindowImage& image) {
        return image.width == 640 && whiteIn(image, 0, 439, 0, 640) == 0;
    };
    auto screenShows = [&](bool (*condition)(const WindowImage&)) {
        return OrvaneTest::waitFor([&] { return condition(x.capture(window)); });
    };

    ASSERT_TRUE(screenShows(hidden));
    const unsigned backquote = x.keycodeOf("grave");
    x.tapKey(backquote);
    ASSERT_TRUE(screenShows(shown));

    x.typeText("setint x 5");
    x.tapNamed("Return");
    x.typeText("varlist");
    x.tapNamed("Return");
    x.typeText("commandl");
    x.tapNamed("Tab");  // the only command that begins so
    x.tapNamed("Return");
    x.tapNamed("Up");
    x.tapNamed("Return");
    x.tapKey(backquote);
    // Keys arrive in order, so once it is hidden every line before has run.
    EXPECT_TRUE(screenShows(hidden));

    // A layout that puts circumflex and degree on the key left of 1, as German ones do.
    x.remapKey(backquote, {"dead_circumflex", "degree"});
    x.tapKey(backquote);
    EXPECT_TRUE(screenShows(shown));
    x.tapKey(backquote);
    EXPECT_TRUE(screenShows(hidden));

    const OrvaneTest::ProcessResult result = orvane.finish();
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(result.status, 0);
    // Each typed character reached the line once: the variable has its name and value.
    EXPECT_NE(result.out.find("\nx = 5\n"), std::string::npos) << result.out;
    EXPECT_EQ(occurrences(result.out,
                          "Registered commands: \n  OrvaneMenu.AddButton\n  OrvaneMenu.AddSlider\n"
                          "  OrvaneMenu.AddTextSlider\n  OrvaneMenu.AddToggle\n  commandlist\n"),
              2u)
        << result.out;
    EXPECT_EQ(result.err, "");
}

}  // namespace
