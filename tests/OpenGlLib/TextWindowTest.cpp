// Text and the console in a real window on a private X server with Mesa: what reaches the
// screen is the glyph bitmap pixel for pixel, in the caption at the top left and in the
// console in the lower half.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>

#include "OpenGlLib/GLConsole.h"
#include "OpenGlLib/GLHeaders.h"
#include "OpenGlLib/GLWindow.h"
#include "tests/support/TextOnScreen.h"
#include "tests/support/Xvfb.h"

namespace {

using namespace Kor;
using OrvaneTest::RGB;
using OrvaneTest::WindowImage;

// Draws black frames with the given caption until the screen shows what is expected.
WindowImage frameUntil(OrvaneTest::XSession& x, GLWindow& window, const std::string& caption,
                       const std::function<bool(const WindowImage&)>& expected) {
    const unsigned long native = x.waitForWindow(window.mName);
    WindowImage image;
    OrvaneTest::waitFor([&] {
        window.BeginFrame();
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        window.Caption() << caption;
        window.EndFrame();
        image = x.capture(native);
        return image.width == 640 && expected(image);
    });
    return image;
}

TEST(TextWindowTest, TheCaptionAndTheConsoleShowTheGlyphsPixelForPixel) {
    OrvaneTest::XvfbServer server;
    ASSERT_FALSE(server.display().empty()) << "Xvfb did not start";
    ::setenv("DISPLAY", server.display().c_str(), 1);
    OrvaneTest::XSession x(server.display());
    GLWindow window("TextWindow", WindowSize{640, 480});
    ASSERT_TRUE(window.mIsOpen);
    ASSERT_NE(window.mFontTexture, 0u);
    const std::string caption = "Orvane 0.1 {|}~ @#$%";
    auto captionShown = [&](const WindowImage& image) {
        return OrvaneTest::showsText(image, caption, 0, 0, {255, 255, 255});
    };
    WindowImage image = frameUntil(x, window, caption, captionShown);
    EXPECT_TRUE(captionShown(image));
    // Nothing else: the rest of the screen stays black.
    EXPECT_EQ(image.count({0, 0, 0}) + image.count({255, 255, 255}), 640 * 480);

    // The console in the lower half, its cursor shown at a fixed time: the prompt at (10, 20)
    // and the underscore under the character at the cursor, one pixel lower.
    GLConsole& console = *window.mConsole;
    console.SetClock([] { return int64_t{1'600}; });
    console.OnKey(window, Key::Backquote, '`', 0);
    for (char c : std::string("zz")) {
        console.OnKey(window, Key::Z, c, 0);
    }
    console.OnKey(window, Key::Left, 0, 0);
    auto consoleShown = [&](const WindowImage& shown) {
        return OrvaneTest::showsText(shown, caption, 0, 0, {255, 255, 255}) &&
               OrvaneTest::showsText(shown, ">zz", 10, 240 + 20, {255, 255, 255}) &&
               OrvaneTest::showsText(shown, "_", 10 + 8 * 2, 240 + 21, {0, 255, 0}, false);
    };
    image = frameUntil(x, window, caption, consoleShown);
    EXPECT_TRUE(consoleShown(image));
    EXPECT_EQ(image.at(320, 240), (RGB{255, 255, 255}));  // the border's top edge
    EXPECT_EQ(image.at(0, 360), (RGB{255, 255, 255}));    // and its left edge
    EXPECT_EQ(image.at(320, 200), (RGB{0, 0, 0}));        // the upper half is not covered
}

}  // namespace
