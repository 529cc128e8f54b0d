// The menu in the real program's window on a private X server: a script beside the program
// makes the items, which appear in their colours where the layout puts them, and the pointer
// and the wheel driven through XTest change settings and run commands.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/support/OrvaneOnXvfb.h"
#include "tests/support/ShippedMenu.h"
#include "tests/support/TempDir.h"

namespace {

using OrvaneTest::WindowImage;

using OrvaneTest::kMenuGreen;
using OrvaneTest::kMenuGrey;
using OrvaneTest::kMenuRed;
using OrvaneTest::kMenuRowTop;
using OrvaneTest::kMenuWhite;
using OrvaneTest::kMenuYellow;
using OrvaneTest::menuColumnLeft;
using OrvaneTest::menuLabel;

// Clicks the middle of a column's cell, or turns the wheel there by one notch (button 4 is
// away from the user, 5 towards).
void press(OrvaneTest::OrvaneOnXvfb& orvane, int column, int button = 1) {
    orvane.x().movePointer(orvane.window(), menuColumnLeft(column) + 20, kMenuRowTop + 5);
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
        return menuLabel(image, 0, "Flag", kMenuRed) && menuLabel(image, 1, "Ghost", kMenuGrey) &&
               menuLabel(image, 2, "Level:2", kMenuYellow) &&
               menuLabel(image, 3, "List", kMenuWhite) && menuLabel(image, 4, "Quit", kMenuWhite);
    }));
    press(orvane, 0);
    press(orvane, 1);  // no such setting: stays grey, none is made
    press(orvane, 2);  // a click leaves a slider alone
    press(orvane, 2, 4);
    EXPECT_TRUE(screenShows(orvane, [](const WindowImage& image) {
        return menuLabel(image, 0, "Flag", kMenuGreen) && menuLabel(image, 1, "Ghost", kMenuGrey) &&
               menuLabel(image, 2, "Level:3", kMenuYellow);
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
    EXPECT_TRUE(screenShows(orvane, OrvaneTest::showsShippedMenu));
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
