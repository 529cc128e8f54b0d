// The console of a window without a display: its keys, the lines it runs, history, completion
// and the texts it draws.
#include "OpenGlLib/GLConsole.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "OpenGlLib/GLWindow.h"
#include "PlatformLib/InMemoryVarsManager.h"
#include "PlatformLib/Vars.h"
#include "RuntimeLib/Parser.h"
#include "tests/support/FakeWindowSystem.h"

namespace {

using namespace Kor;
constexpr unsigned kShift = KeyModifier::Shift;
constexpr unsigned kAlt = KeyModifier::Alt;
constexpr unsigned kControl = KeyModifier::Control;

std::vector<std::string> ran;  // lines the "zzrun" command received, tokens joined

void record(std::vector<std::string> tokens, void*) {
    std::string line;
    for (const std::string& token : tokens) {
        line += (line.empty() ? "" : " ") + token;
    }
    ran.push_back(line);
}

void ignore(std::vector<std::string>, void*) {}

class GLConsoleTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        InstallInMemoryVarsManager();
        RegisterCommand("zzrun", record, nullptr);
        for (const char* name : {"zzalpha", "zzalphabet", "zzbeta"}) {
            RegisterCommand(name, ignore, nullptr);
        }
    }
    void SetUp() override { ran.clear(); }

    OrvaneTest::ScopedFakeWindowSystem system;
    GLWindow window{"ConsoleTest", WindowSize{640, 480}};
    GLConsole& console = *window.mConsole;

    bool key(Key k, char c = 0, unsigned modifiers = 0) {
        return console.OnKey(window, k, c, modifiers);
    }
    void type(const std::string& text) {
        for (char c : text) {
            key(Key::Other, c);
        }
    }
    void run(const std::string& line) {
        type(line);
        key(Key::Enter);
    }
};

TEST_F(GLConsoleTest, IsTheWindowsHandlerBeforeTheApplicationsAndStartsHiddenAndEmpty) {
    // After the menu, before anything the application adds.
    ASSERT_EQ(window.mHandlers.size(), 2u);
    EXPECT_EQ(window.mHandlers[1], &console);
    EXPECT_EQ(console.mWindow, &window);
    EXPECT_FALSE(console.mVisible);
    EXPECT_EQ(console.mLine, "");
    EXPECT_EQ(console.mCursor, 0);
    EXPECT_TRUE(console.mHistory.empty());
    EXPECT_EQ(console.mHistoryIndex, 0);
}

TEST_F(GLConsoleTest, HiddenItPassesEveryKeyButBackquoteWhichAlwaysToggles) {
    for (int code = 0; code <= 48; ++code) {
        if (code == static_cast<int>(Key::Backquote)) {
            continue;
        }
        for (unsigned modifiers : {0u, kShift, kControl, kAlt | kControl}) {
            EXPECT_FALSE(key(static_cast<Key>(code), 'q', modifiers)) << code;
            EXPECT_FALSE(key(static_cast<Key>(code), 0, modifiers)) << code;
        }
    }
    EXPECT_EQ(console.mLine, "");
    EXPECT_FALSE(console.mVisible);

    // With or without its character and modifiers; the character is never typed.
    EXPECT_TRUE(key(Key::Backquote, '`'));
    EXPECT_TRUE(console.mVisible);
    EXPECT_TRUE(key(Key::Backquote, '~', kShift));
    EXPECT_FALSE(console.mVisible);
    EXPECT_TRUE(key(Key::Backquote, 0, kControl));
    type("ab");
    EXPECT_TRUE(key(Key::Backquote, '`'));
    EXPECT_EQ(console.mLine, "ab");
    EXPECT_FALSE(console.mVisible);
}

// One key on a given line and cursor: whether it is consumed, and the line and cursor after.
struct EditCase {
    const char* name;
    std::string line;
    int32_t cursor;
    Key key;
    char character;
    unsigned modifiers;
    bool consumed;
    std::string lineAfter;
    int32_t cursorAfter;
};

TEST_F(GLConsoleTest, KeysEditTheLineAtTheCursor) {
    const EditCase cases[] = {
        {"type at the end", "ab", 2, Key::C, 'c', 0, true, "abc", 3},
        {"type in the middle", "ac", 1, Key::B, 'b', 0, true, "abc", 2},
        {"type with shift", "a", 1, Key::Other, '!', kShift, true, "a!", 2},
        {"type a blank", "a", 1, Key::Space, ' ', 0, true, "a ", 2},
        {"type left of the line", "ab", -5, Key::X, 'x', 0, true, "xab", 1},
        {"type right of the line", "ab", 9, Key::X, 'x', 0, true, "abx", 3},
        {"alt and control type nothing", "ab", 2, Key::Other, '@', kAlt | kControl, false, "ab", 2},
        {"alt types nothing", "ab", 2, Key::Q, 'q', kAlt, false, "ab", 2},
        {"ctrl+a", "abc", 2, Key::A, 0, kControl, true, "abc", 0},
        {"ctrl+e", "abc", 1, Key::E, 0, kControl, true, "abc", 3},
        {"ctrl+k", "abcd", 1, Key::K, 0, kControl, true, "a", 1},
        {"ctrl+k left of the line", "abcd", -3, Key::K, 0, kControl, true, "", 0},
        {"ctrl+d", "abc", 1, Key::D, 0, kControl, true, "ac", 1},
        {"ctrl+d at the end", "abc", 3, Key::D, 0, kControl, true, "abc", 3},
        {"ctrl+d right of the line only clamps", "abc", 7, Key::D, 0, kControl, true, "abc", 3},
        {"delete", "abc", 0, Key::Delete, 0, 0, true, "bc", 0},
        {"delete left of the line only clamps", "abc", -2, Key::Delete, 0, 0, true, "abc", 0},
        {"backspace", "abc", 2, Key::Backspace, 0, 0, true, "ac", 1},
        {"backspace at the start", "abc", 0, Key::Backspace, 0, 0, true, "abc", 0},
        {"backspace right of the line only clamps", "abc", 9, Key::Backspace, 0, 0, true, "abc", 3},
        {"backspace left of the line only clamps", "abc", -1, Key::Backspace, 0, 0, true, "abc", 0},
        {"left leaves the line", "ab", 0, Key::Left, 0, 0, true, "ab", -1},
        {"right leaves the line", "ab", 2, Key::Right, 0, 0, true, "ab", 3},
        {"left with control", "ab", 1, Key::Left, 0, kControl, true, "ab", 0},
        {"home", "abc", 2, Key::Home, 0, 0, true, "abc", 0},
        {"end", "abc", 0, Key::End, 0, 0, true, "abc", 3},
        {"a d e k without control", "abc", 1, Key::K, 0, 0, false, "abc", 1},
        {"ctrl+b", "abc", 1, Key::B, 0, kControl, false, "abc", 1},
        {"ctrl+z", "abc", 1, Key::Z, 0, kControl, false, "abc", 1},
        {"a digit without character", "abc", 1, Key::Digit3, 0, 0, false, "abc", 1},
        {"space without character", "abc", 1, Key::Space, 0, 0, false, "abc", 1},
        {"other without character", "abc", 1, Key::Other, 0, 0, false, "abc", 1},
        {"codes beyond other", "abc", 1, static_cast<Key>(77), 0, 0, false, "abc", 1},
        {"negative codes", "abc", 1, static_cast<Key>(-4), 0, 0, false, "abc", 1},
    };
    key(Key::Backquote);
    for (const EditCase& c : cases) {
        console.mLine = c.line;
        console.mCursor = c.cursor;
        EXPECT_EQ(key(c.key, c.character, c.modifiers), c.consumed) << c.name;
        EXPECT_EQ(console.mLine, c.lineAfter) << c.name;
        EXPECT_EQ(console.mCursor, c.cursorAfter) << c.name;
    }
    EXPECT_TRUE(ran.empty());
}

TEST_F(GLConsoleTest, TheCursorStopsAtTheEndsOfItsRangeInsteadOfWrapping) {
    key(Key::Backquote);
    console.mCursor = INT32_MIN;
    key(Key::Left);
    EXPECT_EQ(console.mCursor, INT32_MIN);
    console.mCursor = INT32_MAX;
    key(Key::Right);
    EXPECT_EQ(console.mCursor, INT32_MAX);
}

TEST_F(GLConsoleTest, EnterRunsTheLineAndKeepsItInTheHistory) {
    key(Key::Backquote);
    run("zzrun \"a b\" c");
    run("x = 41");
    EXPECT_EQ(ran, (std::vector<std::string>{"zzrun a b c"}));
    int x = 0;
    EXPECT_TRUE(TryGetInt("x", x));
    EXPECT_EQ(x, 41);
    EXPECT_EQ(console.mHistory, (std::vector<std::string>{"zzrun \"a b\" c", "x = 41"}));
    EXPECT_EQ(console.mHistoryIndex, 2);
    EXPECT_EQ(console.mLine, "");
    EXPECT_EQ(console.mCursor, 6);  // left where it was; clamped when used

    // An empty line runs (and does nothing) but is not remembered.
    EXPECT_TRUE(key(Key::Enter));
    EXPECT_EQ(console.mHistory.size(), 2u);
    EXPECT_EQ(console.mHistoryIndex, 2);
}

TEST_F(GLConsoleTest, UpAndDownWalkTheHistoryAndPastTheNewestLineClearIt) {
    key(Key::Backquote);
    EXPECT_TRUE(key(Key::Up));  // nothing to recall
    EXPECT_TRUE(key(Key::Down));
    EXPECT_EQ(console.mLine, "");
    EXPECT_EQ(console.mHistoryIndex, 0);

    run("zzrun 1");
    run("zzrun 22");
    run("zzrun 333");
    struct Step {
        Key key;
        std::string line;
        int32_t index;
    };
    const Step steps[] = {
        {Key::Up, "zzrun 333", 2}, {Key::Up, "zzrun 22", 1},   {Key::Up, "zzrun 1", 0},
        {Key::Up, "zzrun 1", 0},   {Key::Down, "zzrun 22", 1}, {Key::Down, "zzrun 333", 2},
        {Key::Down, "", 3},        {Key::Down, "", 3},         {Key::Up, "zzrun 333", 2},
    };
    for (const Step& step : steps) {
        EXPECT_TRUE(key(step.key));
        EXPECT_EQ(console.mLine, step.line);
        EXPECT_EQ(console.mHistoryIndex, step.index);
        if (!step.line.empty()) {
            EXPECT_EQ(console.mCursor, static_cast<int32_t>(step.line.size()));
        }
    }
    // A recalled line runs again and is remembered again.
    key(Key::Enter);
    EXPECT_EQ(ran.back(), "zzrun 333");
    EXPECT_EQ(console.mHistory.size(), 4u);
    EXPECT_EQ(console.mHistoryIndex, 4);
}

TEST_F(GLConsoleTest, TabCompletesOneCandidateWhollyAndSeveralToTheirCommonPrefix) {
    SetVarFromText("zzvalue", "12");
    struct Case {
        std::string line;
        int32_t cursor;
        std::string lineAfter;
        int32_t cursorAfter;
    };
    const Case cases[] = {
        {"zzq", 1, "zzq", 1},              // no candidate
        {"zzb", 1, "zzbeta", 6},           // one
        {"zza", 1, "zzalpha", 7},          // zzalpha, zzalphabet
        {"zz", 1, "zz", 1},                // zzalpha, zzalphabet, zzbeta, zzrun, zzvalue
        {"zzalpha", 2, "zzalpha", 2},      // nothing more in common
        {"zzv", 0, "zzvalue", 7},          // a variable
        {"zzvalue", 0, "zzvalue=12", 10},  // the whole name shows its value
        {"zzrun x", 2, "zzrun x", 2},      // only the first word completes
    };
    key(Key::Backquote);
    for (const Case& c : cases) {
        console.mLine = c.line;
        console.mCursor = c.cursor;
        EXPECT_TRUE(key(Key::Tab));
        EXPECT_EQ(console.mLine, c.lineAfter) << c.line;
        EXPECT_EQ(console.mCursor, c.cursorAfter) << c.line;
    }
}

TEST_F(GLConsoleTest, DrawsACursorHalfOfEachSecondThePromptAndTheCompletionsThatFit) {
    console.mLine = "zz";
    console.mCursor = 1;
    const ConsoleText cursor{"  _", 0.0f, 1.0f, 0.0f, {10, 21}};
    const ConsoleText prompt{">zz", 1.0f, 1.0f, 1.0f, {10, 20}};
    auto grey = [](const char* text, int32_t y) {
        return ConsoleText{text, 0.7f, 0.7f, 0.7f, {10, y}};
    };
    // An extent 100 high lists completions at y = 40, 60 and 80, the last where y <= 100 - 20.
    EXPECT_EQ(console.Texts({640, 100}, 12'499),
              (std::vector<ConsoleText>{prompt, grey("zzalpha", 40), grey("zzalphabet", 60),
                                        grey("zzbeta", 80)}));
    EXPECT_EQ(
        console.Texts({640, 99}, 12'500),
        (std::vector<ConsoleText>{cursor, prompt, grey("zzalpha", 40), grey("zzalphabet", 60)}));
    EXPECT_EQ(console.Texts({640, 30}, 999).size(), 2u);  // the cursor and the prompt
    EXPECT_EQ(console.Texts({640, 30}, 1'000).size(), 1u);
    EXPECT_EQ(console.Texts({640, 30}, -200).size(), 2u);  // phase 800 of a second

    // The cursor is drawn where the line has room for it; an empty line lists nothing.
    console.mLine = "";
    console.mCursor = 5;
    EXPECT_EQ(console.Texts({640, 480}, 700),
              (std::vector<ConsoleText>{{" _", 0.0f, 1.0f, 0.0f, {10, 21}},
                                        {">", 1.0f, 1.0f, 1.0f, {10, 20}}}));
}

TEST_F(GLConsoleTest, DrawingReadsTheClockOnlyWhenShownAndBringsTheCursorIntoTheLine) {
    int reads = 0;
    console.SetClock([&] {
        ++reads;
        return int64_t{0};
    });
    console.mLine = "abc";
    console.mCursor = 8;
    console.Draw({640, 240}, {0, 0}, {640, 240});
    EXPECT_EQ(reads, 0);
    EXPECT_EQ(console.mCursor, 8);
    key(Key::Backquote);
    console.Draw({640, 240}, {0, 0}, {640, 240});
    EXPECT_EQ(reads, 1);
    EXPECT_EQ(console.mCursor, 3);
}

}  // namespace
