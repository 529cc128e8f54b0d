// The menu of a window without a display: its commands, its place among the window's
// handlers, pointer and wheel events, what stays behind when it goes, and its script.
#include "OpenGlLib/GLMenu.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <atomic>
#include <cmath>
#include <filesystem>
#include <limits>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "OpenGlLib/GLConsole.h"
#include "OpenGlLib/GLWindow.h"
#include "PlatformLib/Vars.h"
#include "RuntimeLib/Parser.h"
#include "tests/support/FakeWindowSystem.h"
#include "tests/support/LogCapture.h"

namespace {

using namespace Kor;
using Lines = std::vector<std::string>;
using OrvaneTest::setIntVar;

int valueOf(const std::string& variable) {
    int value = -99;
    Kor::TryGetInt(variable, value);
    return value;
}

int gProbeRuns = 0;
void probe(std::vector<std::string>, void*) {
    ++gProbeRuns;
}

class GLMenuTest : public ::testing::Test {
protected:
    void SetUp() override {
        mSink = &OrvaneTest::installLogCapture();
        window.mWidth = 400;
        window.mHeight = 300;
    }
    void verbose() {
        setIntVar("showDebug", 1);
        setIntVar("debug.Default", 4);
    }
    bool click(WindowPoint at, bool down, MouseButton button = MouseButton::Left) {
        return menu.OnMouseButton(window, at, down, button);
    }

    OrvaneTest::RecordingLogSink* mSink = nullptr;
    OrvaneTest::ScopedFakeWindowSystem system;
    GLWindow window{"MenuTest", WindowSize{400, 300}};
    GLMenu& menu = *window.mMenu;
};

TEST_F(GLMenuTest, IsTheWindowsFirstHandlerWithFourCommandsOfItsName) {
    EXPECT_EQ(menu.mName, "MenuTestMenu");
    EXPECT_EQ(menu.mWindow, &window);
    EXPECT_TRUE(menu.mItems.empty());
    ASSERT_EQ(window.mHandlers.size(), 2u);
    EXPECT_EQ(window.mHandlers[0], &menu);
    EXPECT_EQ(window.mHandlers[1], window.mConsole.get());
    for (const char* command : {"MenuTestMenu.AddToggle", "MenuTestMenu.AddButton",
                                "MenuTestMenu.AddSlider", "MenuTestMenu.AddTextSlider"}) {
        ASSERT_EQ(Commands().count(command), 1u) << command;
        EXPECT_EQ(Commands().find(command)->second.context, &menu) << command;
    }
}

TEST_F(GLMenuTest, CommandsAddItemsOrReportTheirTokenCount) {
    verbose();
    for (const char* line : {
             "MenuTestMenu.AddToggle Rec rec.var",
             "MenuTestMenu.AddButton \"Say hi\" \"echo hi\"",
             "MenuTestMenu.AddSlider Speed speed -3 12abc",
             "MenuTestMenu.AddSlider S s x +7",
             "MenuTestMenu.AddSlider S s 99999999999 -99999999999",
             "MenuTestMenu.AddTextSlider Mode mode a b c",
             // Wrong counts: nothing is added.
             "MenuTestMenu.AddToggle Rec",
             "MenuTestMenu.AddButton a b c",
             "MenuTestMenu.AddSlider a b 1",
             "MenuTestMenu.AddTextSlider Mode mode a",
         }) {
        ExecuteLine(line, 0);
    }
    EXPECT_EQ(mSink->lines(), (Lines{
                                  "[Default] ! Error: cmd MenuTestMenu.AddToggle wanted 2 args. \n",
                                  "[Default] ! Error: cmd MenuTestMenu.AddButton wanted 2 args. \n",
                                  "[Default] ! Error: cmd MenuTestMenu.AddSlider wanted 4 args. \n",
                              }));
    ASSERT_EQ(menu.mItems.size(), 6u);
    auto* toggle = dynamic_cast<GLMenuItems::Toggle*>(menu.mItems[0].get());
    ASSERT_NE(toggle, nullptr);
    EXPECT_EQ(toggle->mLabel + "|" + toggle->mVariable, "Rec|rec.var");
    auto* button = dynamic_cast<GLMenuItems::Button*>(menu.mItems[1].get());
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->mLabel + "|" + button->mCommand, "Say hi|echo hi");
    // Bounds read as a stream reads numbers: trailing text ignored, none read is 0, beyond the
    // range its nearest end.
    const std::vector<std::pair<int32_t, int32_t>> bounds = {
        {-3, 12},
        {0, 7},
        {std::numeric_limits<int32_t>::max(), std::numeric_limits<int32_t>::min()}};
    for (size_t i = 0; i < bounds.size(); ++i) {
        auto* slider = dynamic_cast<GLMenuItems::Slider*>(menu.mItems[2 + i].get());
        ASSERT_NE(slider, nullptr);
        EXPECT_EQ(std::make_pair(slider->mMin, slider->mMax), bounds[i]) << i;
    }
    auto* text = dynamic_cast<GLMenuItems::TextSlider*>(menu.mItems[5].get());
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->mVariable, "mode");
    EXPECT_EQ(text->mOptions, (Lines{"a", "b", "c"}));
}

TEST_F(GLMenuTest, APressIsConsumedAndTheReleaseAppliesTheItemUnderThePointer) {
    RegisterCommand("zzmenutestprobe", probe, nullptr);
    gProbeRuns = 0;
    for (const char* variable : {"menu.t0", "menu.t1", "menu.t4"}) {
        setIntVar(variable, 0);
    }
    setIntVar("menu.s", 1);
    for (const char* line :
         {"MenuTestMenu.AddToggle T0 menu.t0", "MenuTestMenu.AddToggle T1 menu.t1",
          "MenuTestMenu.AddSlider S menu.s 0 3", "MenuTestMenu.AddButton B zzmenutestprobe",
          "MenuTestMenu.AddToggle T4 menu.t4"}) {
        ExecuteLine(line, 0);
    }
    // 400 x 300: items 0 to 3 in the bottom row from x = 10, item 4 above item 0.
    const WindowPoint item0{30, 280}, item1{110, 280}, slider{190, 280}, button{270, 280},
        item4{30, 240}, rightOfRow{350, 280}, emptyCell{110, 240};

    EXPECT_TRUE(click(item0, true));
    EXPECT_EQ(valueOf("menu.t0"), 0);
    EXPECT_TRUE(click(item1, false));  // released elsewhere: that item
    EXPECT_EQ(valueOf("menu.t0"), 0);
    EXPECT_EQ(valueOf("menu.t1"), 1);
    EXPECT_TRUE(click(item0, false, MouseButton::Right));
    EXPECT_TRUE(click(item4, false, MouseButton::Middle));
    EXPECT_EQ(valueOf("menu.t0"), 1);
    EXPECT_EQ(valueOf("menu.t4"), 1);
    EXPECT_TRUE(click(slider, false));  // a click leaves a slider alone
    EXPECT_EQ(valueOf("menu.s"), 1);
    EXPECT_TRUE(click(button, true));
    EXPECT_EQ(gProbeRuns, 0);
    EXPECT_TRUE(click(button, false));
    EXPECT_EQ(gProbeRuns, 1);

    // Outside every item the events go on to the next handler.
    for (const WindowPoint& outside : {rightOfRow, emptyCell, WindowPoint{5, 280}}) {
        EXPECT_FALSE(click(outside, true));
        EXPECT_FALSE(click(outside, false));
        EXPECT_FALSE(menu.OnMouseWheel(window, outside, 1.0f));
    }
    EXPECT_EQ(valueOf("menu.t4"), 1);

    // One notch away from the user raises a slider by one; less than 0.2 notches is no step.
    struct Wheel {
        float notches;
        int value;
    };
    for (const Wheel& w : {Wheel{1.0f, 2}, Wheel{0.1f, 2}, Wheel{-0.15f, 2}, Wheel{0.2f, 3},
                           Wheel{std::nanf(""), 3}, Wheel{-INFINITY, 2}}) {
        EXPECT_TRUE(menu.OnMouseWheel(window, slider, w.notches));
        EXPECT_EQ(valueOf("menu.s"), w.value) << w.notches;
    }
    EXPECT_TRUE(menu.OnMouseWheel(window, item4, -1.0f));  // a toggle flips, a button runs
    EXPECT_TRUE(menu.OnMouseWheel(window, button, 1.0f));
    EXPECT_EQ(valueOf("menu.t4"), 0);
    EXPECT_EQ(gProbeRuns, 2);

    // Hit testing follows the window's size: in a narrow window every item has its own row.
    window.mWidth = 60;
    EXPECT_TRUE(click(WindowPoint{30, 240}, false));
    EXPECT_EQ(valueOf("menu.t1"), 0);
}

TEST_F(GLMenuTest, ItsCommandsGoWithItAndLeaveThoseOfALaterMenuOfTheSameName) {
    verbose();
    { GLWindow gone("Gone", WindowSize{400, 300}); }
    mSink->clear();
    EXPECT_EQ(Commands().count("GoneMenu.AddToggle"), 0u);
    ExecuteLine("GoneMenu.AddToggle a b", 0);  // no menu to reach, freed or not
    EXPECT_EQ(mSink->lines(), Lines{"[Default] ! Unknown command: 'GoneMenu.AddToggle'\n"});

    auto first = std::make_unique<GLWindow>("Twin", WindowSize{400, 300});
    GLWindow second("Twin", WindowSize{400, 300});
    first.reset();
    ExecuteLine("TwinMenu.AddButton b echo", 0);
    EXPECT_EQ(second.mMenu->mItems.size(), 1u);

    // A menu that goes before its window also leaves the window's handlers.
    second.mMenu.reset();
    EXPECT_EQ(second.mHandlers, std::vector<GLWindowEventHandler*>{second.mConsole.get()});
}

#ifdef _WIN32
TEST(GLMenuScriptTest, AFifoOrADirectoryThereIsReportedAsAScriptThatCannotBeOpened) {
    GTEST_SKIP() << "FIFOs are POSIX; the menu opens its script through openRegularFile, "
                    "whose Windows cases are FileInputStreamTest's and PoseFileReaderTest's";
}
#else
// A window's script is <name>Menu.cfg beside the executable, here the test's. (The real
// program reading a real script is MenuWindowTest's.)
class GLMenuScriptTest : public GLMenuTest {
protected:
    void TearDown() override { std::filesystem::remove_all(mPath); }
    std::string nameFor(const std::string& what) {
        const std::string name = "MenuScript" + what + std::to_string(::getpid());
        mPath = std::filesystem::canonical("/proc/self/exe").parent_path() / (name + "Menu.cfg");
        return name;
    }
    std::filesystem::path mPath;
};

TEST_F(GLMenuScriptTest, AFifoOrADirectoryThereIsReportedAsAScriptThatCannotBeOpened) {
    for (const std::string kind : {"Fifo", "Directory"}) {
        const std::string name = nameFor(kind);
        ASSERT_EQ(kind == "Fifo" ? ::mkfifo(mPath.c_str(), 0600) : ::mkdir(mPath.c_str(), 0700), 0);
        verbose();
        mSink->clear();
        // Should the window wait on the FIFO, its other end is opened after a while, so that
        // the test fails instead of hanging.
        std::atomic<bool> built = false;
        std::atomic<bool> rescued = false;
        std::thread rescuer([&] {
            for (int i = 0; i < 500 && !built; ++i) {
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
            const int fd = built ? -1 : ::open(mPath.c_str(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0) {
                rescued = true;
                ::close(fd);
            }
        });
        GLWindowWithMenu scripted(name, WindowSize{400, 300});
        built = true;
        rescuer.join();
        EXPECT_FALSE(rescued) << kind;
        EXPECT_TRUE(scripted.mMenu->mItems.empty());
        EXPECT_THAT(mSink->lines(),
                    ::testing::Contains("[Default] Could not open " + mPath.string() + "\n"))
            << kind;
        std::filesystem::remove_all(mPath);
    }
}
#endif

}  // namespace
