// The menu in the real program's window on a private X server: a script beside the program
// makes the items, which appear in their colours where the layout puts them, and the pointer
// and the wheel driven through XTest change settings and run commands.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/support/OrvaneOnXvfb.h"
#include "tests/support/TempDir.h"
#include "tests/support/TextOnScreen.h"

namespace {

using OrvaneTest::RGB;
using OrvaneTest::WindowImage;

constexpr RGB kRed{255, 128, 128};
constexpr RGB kGreen{128, 255, 128};
constexpr RGB kGrey{128, 128, 128};
constexpr RGB kWhite{255, 255, 255};
constexpr RGB kYellow{255, 255, 128};

// 640 x 480: seven columns; the bottom row's text at y = 440, x = 20 + 80 per column.
constexpr int kRowTop = 440;
int columnLeft(int column) {
    return 20 + 80 * column;
}

// Whether the label shows in the column; a half-bright channel may be rounded either way.
bool label(const WindowImage& image, int column, const std::string& text, RGB colour) {
    return OrvaneTest::showsText(image, text, columnLeft(column), kRowTop, colour, true, 1);
}

// Clicks the middle of a column's cell, or turns the wheel there by one notch (button 4 is
// away from the user, 5 towards).
void press(OrvaneTest::OrvaneOnXvfb& orvane, int column, int button = 1) {
    orvane.x().movePointer(orvane.window(), columnLeft(column) + 20, kRowTop + 5);
    orvane.x().button(button, true);
    orvane.x().button(button, false);
}

bool screenShows(OrvaneTest::OrvaneOnXvfb& orvane,
                 const std::function<bool(const WindowImage&)>& condition) {
    return OrvaneTest::waitFor([&] {
        const WindowImage image = orvane.x().capture(orvane.window());
        return image.width == 640 && condition(image);
    });
}

TEST(MenuWindowTest, AScriptBesideTheProgramMakesItemsThatClicksAndTheWheelOperate) {
    OrvaneTest::TempDir dir;
    const std::filesystem::path program = dir.path() / "orvane";
    std::filesystem::copy_file(ORVANE_EXE, program);
    dir.write("OrvaneMenu.cfg",
              "setint menu.flag 0\n"
              "setint menu.level 2\n"
              "OrvaneMenu.AddToggle Flag menu.flag\n"
              "OrvaneMenu.AddToggle Ghost menu.ghost\n"
              "OrvaneMenu.AddSlider Level menu.level 0 3\n"
              "OrvaneMenu.AddButton List varlist\n"
              "OrvaneMenu.AddButton Quit exit\n");
    // An empty trajectory: the scene stays black.
    OrvaneTest::OrvaneOnXvfb orvane({ORVANE_SOURCE_DIR "/README.md"}, program.string());
    ASSERT_NE(orvane.window(), 0u);

    EXPECT_TRUE(screenShows(orvane, [](const WindowImage& image) {
        return label(image, 0, "Flag", kRed) && label(image, 1, "Ghost", kGrey) &&
               label(image, 2, "Level:2", kYellow) && label(image, 3, "List", kWhite) &&
               label(image, 4, "Quit", kWhite);
    }));
    press(orvane, 0);
    press(orvane, 1);  // no such setting: stays grey, none is made
    press(orvane, 2);  // a click leaves a slider alone
    press(orvane, 2, 4);
    EXPECT_TRUE(screenShows(orvane, [](const WindowImage& image) {
        return label(image, 0, "Flag", kGreen) && label(image, 1, "Ghost", kGrey) &&
               label(image, 2, "Level:3", kYellow);
    }));
    press(orvane, 2, 4);  // at the maximum already
    press(orvane, 3);
    press(orvane, 4);
    EXPECT_TRUE(OrvaneTest::waitFor([&] { return orvane.ended(); }));

    const OrvaneTest::ProcessResult result = orvane.finish();
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(result.status, 0);
    EXPECT_NE(result.out.find("\nmenu.flag = 1\nmenu.level = 3\n"), std::string::npos)
        << result.out;
    EXPECT_EQ(result.out.find("menu.ghost"), std::string::npos) << result.out;
    EXPECT_EQ(result.err, "");
}

TEST(MenuWindowTest, TheShippedMenuShowsItsItemsListsTheSettingsAndExits) {
    OrvaneTest::OrvaneOnXvfb orvane({ORVANE_SOURCE_DIR "/README.md"});
    ASSERT_NE(orvane.window(), 0u);
    EXPECT_TRUE(screenShows(orvane, [](const WindowImage& image) {
        return label(image, 0, "Record", kRed) && label(image, 1, "Settings", kWhite) &&
               label(image, 2, "Commands", kWhite) && label(image, 3, "Exit", kWhite) &&
               label(image, 4, "Log", kRed) && label(image, 5, "Detail:info", kYellow);
    }));
    press(orvane, 1);
    press(orvane, 3);
    EXPECT_TRUE(OrvaneTest::waitFor([&] { return orvane.ended(); }));

    const OrvaneTest::ProcessResult result = orvane.finish();
    EXPECT_EQ(result.status, 0);
    // Every setting at its default.
    for (const char* line :
         {"\nOrvane.RecordToPipe = 0\n", "\ndebug.Default = 3\n", "\nshowDebug = 0\n"}) {
        EXPECT_NE(result.out.find(line), std::string::npos) << line << result.out;
    }
    EXPECT_EQ(result.err, "");
}

}  // namespace
