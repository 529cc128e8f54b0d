// The window procedure with synthetic messages and no display.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "OpenGlLib/GLWindow.h"
#include "OpenGlLib/GLWindowInternals.h"
#include "tests/support/FakeWindowSystem.h"

namespace {

using namespace Kor;

// Writes one line per call into a shared log and consumes what it is told to.
struct Recorder : GLWindowEventHandler {
    Recorder(std::string name, std::vector<std::string>& log) : name(std::move(name)), log(log) {}
    std::string name;
    std::vector<std::string>& log;
    bool consume = false;
    WindowPoint position, previous;
    bool flags[5] = {};
    float notches = 0;
    Key key = Key::Other;
    char character = 0;
    unsigned modifiers = 0;

    bool OnMouseButton(GLWindow&, const WindowPoint& at, bool down, MouseButton button) override {
        position = at;
        log.push_back(name + (down ? " down " : " up ") + std::to_string(int(button)));
        return consume;
    }
    bool OnMouseMove(GLWindow&, const WindowPoint& at, const WindowPoint& before, bool control,
                     bool left, bool middle, bool right, bool shift) override {
        position = at;
        previous = before;
        bool now[5] = {control, left, middle, right, shift};
        std::copy(now, now + 5, flags);
        log.push_back(name + " move");
        return consume;
    }
    bool OnMouseWheel(GLWindow&, const WindowPoint& at, float n) override {
        position = at;
        notches = n;
        log.push_back(name + " wheel");
        return consume;
    }
    bool OnKey(GLWindow&, Key k, char c, unsigned m) override {
        key = k;
        character = c;
        modifiers = m;
        log.push_back(name + " key");
        return consume;
    }
    void OnClose(GLWindow&) override { log.push_back(name + " close"); }
};

class WindowProcTest : public ::testing::Test {
protected:
    OrvaneTest::ScopedFakeWindowSystem system;
    OrvaneTest::FakeWindowSystem& fake = system.fake;
    GLWindow window{"ProcTest", WindowSize{640, 480}};
    std::vector<std::string> log;
    Recorder first{"first", log};
    Recorder second{"second", log};

    void SetUp() override {
        window.mHandlers.clear();  // the procedure alone, without the window's own console
        window.AddEventHandler(&first);
        window.AddEventHandler(&second);
    }
    LResult send(uint32_t message, WParam w = 0, LParam l = 0) {
        return GLWindowInternals::WindowProc(window.mInternals->mhwnd, message, w, l);
    }
    LResult keyDown(uint32_t virtualKey, KeyText text) {
        fake.key = text;
        return send(Msg::KeyDown, virtualKey);
    }
};

TEST_F(WindowProcTest, OffersEventsInOrderUntilOneConsumesThem) {
    EXPECT_EQ(send(Msg::LButtonDown, MouseKeys::Left, PointParam(10, 20)), 0);
    EXPECT_EQ(send(Msg::RButtonUp, 0, PointParam(-3, 7)), 0);  // sign-extended halves
    first.consume = true;
    EXPECT_EQ(send(Msg::MButtonDown, 0, PointParam(1, 2)), 0);
    EXPECT_EQ(log, (std::vector<std::string>{"first down 0", "second down 0", "first up 2",
                                             "second up 2", "first down 1"}));
    EXPECT_EQ(second.position, (WindowPoint{-3, 7}));
}

TEST_F(WindowProcTest, CloseReachesEveryHandlerAndEndsTheWindow) {
    first.consume = true;
    ASSERT_TRUE(window.mIsOpen);
    EXPECT_EQ(send(Msg::Close), 0);
    EXPECT_EQ(log, (std::vector<std::string>{"first close", "second close"}));
    EXPECT_FALSE(window.mIsOpen);
    EXPECT_TRUE(fake.destroyed[window.mInternals->mhwnd]);
}

TEST_F(WindowProcTest, ClosingInsideThePumpEndsTheFrameLoop) {
    fake.Post(window.mInternals->mhwnd, Msg::Close);
    int frames = 0;
    while (window.mIsOpen && frames < 10) {
        window.BeginFrame();
        window.EndFrame();
        ++frames;
    }
    EXPECT_EQ(frames, 1);
    EXPECT_EQ(fake.swapCount, 1);
}

TEST_F(WindowProcTest, PointerMovesReportThePreviousPositionAndTheHeldKeys) {
    send(Msg::MouseMove, MouseKeys::Left | MouseKeys::Shift, PointParam(30, 40));
    EXPECT_EQ(first.previous, (WindowPoint{0, 0}));  // nothing moved before
    EXPECT_EQ(first.position, (WindowPoint{30, 40}));
    bool expected[5] = {false, true, false, false, true};  // control, left, middle, right, shift
    EXPECT_TRUE(std::equal(expected, expected + 5, first.flags));

    send(Msg::MouseMove, MouseKeys::Control | MouseKeys::Middle | MouseKeys::Right,
         PointParam(35, 41));
    EXPECT_EQ(first.previous, (WindowPoint{30, 40}));
    bool expected2[5] = {true, false, true, true, false};
    EXPECT_TRUE(std::equal(expected2, expected2 + 5, first.flags));
}

TEST_F(WindowProcTest, PointerMovesAreTrackedWithoutHandlers) {
    window.mHandlers.clear();
    EXPECT_EQ(send(Msg::MouseMove, 0, PointParam(5, 6)), 0);
    EXPECT_EQ(window.mInternals->mLastMouse, (WindowPoint{5, 6}));
    EXPECT_EQ(send(Msg::LButtonDown, 0, PointParam(5, 6)), 0);
    EXPECT_EQ(send(Msg::MouseWheel, WheelParam(120), PointParam(5, 6)), 0);
    EXPECT_EQ(fake.defaultCalls, 0);
}

TEST_F(WindowProcTest, WheelGivesNotchesOf120UnitsAtTheClientPosition) {
    send(Msg::MouseWheel, WheelParam(-120), PointParam(150, 90));
    EXPECT_EQ(first.notches, -1.0f);
    EXPECT_EQ(first.position, (WindowPoint{50, 40}));
    send(Msg::MouseWheel, WheelParam(12, MouseKeys::Shift), PointParam(100, 50));
    EXPECT_FLOAT_EQ(first.notches, 0.1f);
    send(Msg::MouseWheel, WheelParam(360), PointParam(100, 50));
    EXPECT_EQ(first.notches, 3.0f);
}

TEST_F(WindowProcTest, KeysBecomeCodesWithTheirCharacterAndModifiers) {
    keyDown(VirtualKey::A, {1, 'A', true, false, false});
    EXPECT_EQ(first.key, Key::A);
    EXPECT_EQ(first.character, 'A');
    EXPECT_EQ(first.modifiers, KeyModifier::Shift);

    keyDown(VirtualKey::Grave, {1, '~', true, false, false});
    EXPECT_EQ(first.key, Key::Backquote);
    EXPECT_EQ(first.character, '~');

    keyDown(VirtualKey::Digit0 + 7, {1, '7', false, false, false});
    EXPECT_EQ(first.key, Key::Digit7);

    keyDown(VirtualKey::A + 25, {1, '\x1a', false, true, false});  // Ctrl+Z: no printable text
    EXPECT_EQ(first.key, Key::Z);
    EXPECT_EQ(first.character, 0);
    EXPECT_EQ(first.modifiers, KeyModifier::Control);

    keyDown(VirtualKey::OemPunctuation, {1, '-', false, false, true});
    EXPECT_EQ(first.key, Key::Other);
    EXPECT_EQ(first.character, '-');
    EXPECT_EQ(first.modifiers, KeyModifier::Alt);

    const std::pair<uint32_t, Key> named[] = {
        {VirtualKey::Back, Key::Backspace}, {VirtualKey::Tab, Key::Tab},
        {VirtualKey::Return, Key::Enter},   {VirtualKey::Space, Key::Space},
        {VirtualKey::End, Key::End},        {VirtualKey::Home, Key::Home},
        {VirtualKey::Left, Key::Left},      {VirtualKey::Up, Key::Up},
        {VirtualKey::Right, Key::Right},    {VirtualKey::Down, Key::Down},
        {VirtualKey::Delete, Key::Delete}};
    for (auto [virtualKey, key] : named) {
        keyDown(virtualKey, {});
        EXPECT_EQ(first.key, key) << virtualKey;
    }
}

TEST_F(WindowProcTest, KeysWithoutCodeOrCharacterCallNoHandler) {
    EXPECT_EQ(keyDown(VirtualKey::F1, {}), 0);
    EXPECT_EQ(keyDown(VirtualKey::Escape, {1, '\x1b', false, false, false}), 0);
    EXPECT_TRUE(log.empty());
    // Alt held: the system's own key message, not offered.
    fake.key = {1, 'x', false, false, true};
    EXPECT_EQ(send(Msg::SysKeyDown, VirtualKey::A + 23), 77);
    EXPECT_TRUE(log.empty());
}

TEST_F(WindowProcTest, PositionChangesTrackTheClientSize) {
    fake.client = {0, 0, 800, 600};
    EXPECT_EQ(send(Msg::WindowPosChanged), 0);
    EXPECT_EQ(window.mWidth, 800);
    EXPECT_EQ(window.mHeight, 600);
    fake.client = {0, 0, 0, 0};  // minimised
    send(Msg::WindowPosChanged);
    EXPECT_EQ(window.mWidth, 0);
    EXPECT_EQ(fake.defaultCalls, 0);
}

TEST_F(WindowProcTest, CaptionDragMovesTheWindowAndHidesItsRelease) {
    EXPECT_EQ(send(Msg::NcLButtonDown, HitCaption, PointParam(200, 30)), 0);
    EXPECT_TRUE(window.mInternals->mDragging);
    EXPECT_EQ(fake.captured, window.mInternals->mhwnd);
    fake.cursor = {260, 10};
    send(Msg::MouseMove, MouseKeys::Left, PointParam(0, 0));
    EXPECT_EQ(fake.windowRect.left, 92 + 60);
    EXPECT_EQ(fake.windowRect.top, 23 - 20);
    send(Msg::NcMouseMove, 0, PointParam(190, 40));
    EXPECT_EQ(fake.windowRect.left, 92 - 10);
    EXPECT_EQ(send(Msg::LButtonUp, 0, PointParam(1, 1)), 0);
    EXPECT_FALSE(window.mInternals->mDragging);
    EXPECT_EQ(fake.captured, 0u);
    EXPECT_TRUE(log.empty());  // neither the moves nor the release reached a handler

    // Elsewhere than the caption, and the system's own move command, do nothing of the kind.
    EXPECT_EQ(send(Msg::NcLButtonDown, 5, PointParam(1, 1)), 77);
    EXPECT_FALSE(window.mInternals->mDragging);
    EXPECT_EQ(send(Msg::SysCommand, SysCommandMove | 2), 0);
    EXPECT_EQ(send(Msg::SysCommand, 0xF060), 77);
    EXPECT_EQ(send(Msg::NcLButtonUp), 77);
}

TEST_F(WindowProcTest, MessagesOfUnknownWindowsGoToTheDefaultProcedure) {
    EXPECT_EQ(GLWindowInternals::WindowProc(12345, Msg::LButtonDown, 0, 0), 77);
    EXPECT_EQ(send(0x000F), 77);  // a message the table does not handle
    EXPECT_TRUE(log.empty());
}

}  // namespace
