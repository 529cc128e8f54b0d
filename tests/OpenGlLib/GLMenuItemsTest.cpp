// What each kind of menu item shows and what a click or a wheel turn does to its setting, with
// the program's registry and without one.
#include "OpenGlLib/GLMenuItems.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "PlatformLib/Vars.h"
#include "RuntimeLib/Parser.h"
#include "tests/support/LogCapture.h"

namespace {

using namespace Kor::GLMenuItems;
using OrvaneTest::setIntVar;

constexpr int kIntMin = std::numeric_limits<int>::min();
constexpr int kIntMax = std::numeric_limits<int>::max();

using Make = std::function<std::unique_ptr<Base>(const std::string& variable)>;

Make toggle() {
    return [](const std::string& v) { return std::make_unique<Toggle>("Rec", v); };
}
Make slider(int32_t min, int32_t max) {
    return [=](const std::string& v) { return std::make_unique<Slider>("Speed", v, min, max); };
}
Make textSlider() {
    return [](const std::string& v) {
        return std::make_unique<TextSlider>("Mode", v, std::vector<std::string>{"a", "b", "c"});
    };
}

std::optional<int> valueOf(const std::string& variable) {
    int value = 0;
    return Kor::TryGetInt(variable, value) ? std::optional<int>(value) : std::nullopt;
}

std::vector<std::string> gProbeCalls;  // tokens of each "zzmenuprobe" line, joined by "|"

void probe(std::vector<std::string> tokens, void*) {
    std::string joined;
    for (const std::string& token : tokens) {
        joined += (joined.empty() ? "" : "|") + token;
    }
    gProbeCalls.push_back(joined);
}

class GLMenuItemsTest : public ::testing::Test {
protected:
    void SetUp() override {
        mSink = &OrvaneTest::installLogCapture();
        gProbeCalls.clear();
        Kor::RegisterCommand("zzmenuprobe", probe, nullptr);
    }
    // A variable name of its own for each case; none is ever removed.
    std::string fresh() { return "items." + std::to_string(mNext++); }

    OrvaneTest::RecordingLogSink* mSink = nullptr;
    int mNext = 0;
};

TEST_F(GLMenuItemsTest, EachItemShowsItsSettingInTheColourOfItsState) {
    struct Case {
        Make make;
        std::optional<int> value;  // none: the setting does not exist
        Label shown;
    };
    const std::vector<Case> cases = {
        {toggle(), 5, {"Rec", kOnColour}},
        {toggle(), -1, {"Rec", kOnColour}},
        {toggle(), 0, {"Rec", kOffColour}},
        {toggle(), std::nullopt, {"Rec", kMissingColour}},
        {slider(0, 9), 7, {"Speed:7", kValueColour}},
        {slider(0, 9), kIntMin, {"Speed:-2147483648", kValueColour}},
        {slider(0, 9), std::nullopt, {"Speed:?", kMissingColour}},
        {textSlider(), 1, {"Mode:b", kValueColour}},
        {textSlider(), 7, {"Mode:7", kValueColour}},
        {textSlider(), -1, {"Mode:-1", kValueColour}},
        {textSlider(), std::nullopt, {"Mode:?", kMissingColour}},
    };
    for (const Case& c : cases) {
        const std::string variable = fresh();
        if (c.value) {
            setIntVar(variable, *c.value);
        }
        EXPECT_EQ(c.make(variable)->Shown(), c.shown) << c.shown.text;
    }
    EXPECT_EQ(Button("Go", "nosuch").Shown(), (Label{"Go", kButtonColour}));

    // A setting held as text reads as its number; one of another type is not an integer.
    Kor::SetVarFromText("items.text", " 12abc");
    EXPECT_EQ(Slider("T", "items.text", 0, 20).Shown(), (Label{"T:12", kValueColour}));
    std::string words = "words";
    Kor::SetVar("items.string", Kor::ValueRef{&words, Kor::VarType::String});
    EXPECT_EQ(Toggle("S", "items.string").Shown(), (Label{"S", kMissingColour}));
}

TEST_F(GLMenuItemsTest, ClicksFlipTogglesAndTheWheelStepsSlidersWithinTheirBounds) {
    struct Case {
        const char* what;
        Make make;
        std::optional<int> before;  // none: the setting does not exist
        int32_t deltaY;             // a click is 0, a notch away from the user -10
        std::optional<int> after;
    };
    const std::optional<int> missing;
    const std::vector<Case> cases = {
        {"toggle on", toggle(), 5, 0, 0},
        {"toggle off", toggle(), 0, 0, 1},
        {"toggle by wheel", toggle(), -1, -10, 0},
        {"toggle missing", toggle(), missing, 0, missing},
        {"at max, up", slider(0, 3), 3, -10, 3},
        {"at max, down", slider(0, 3), 3, 10, 2},
        {"a fifth of a notch", slider(0, 3), 1, -2, 2},
        {"less than that", slider(0, 3), 1, -1, 1},
        {"less than that, down", slider(0, 3), 1, 1, 1},
        {"click", slider(0, 3), 1, 0, 1},
        {"above the range", slider(0, 3), 7, -10, 3},
        {"below the range", slider(0, 3), -4, -10, 0},
        {"reversed, up", slider(5, 2), 0, -10, 2},
        {"reversed, down", slider(5, 2), 9, 10, 2},
        {"int max, up", slider(kIntMin, kIntMax), kIntMax, -10, kIntMax},
        {"int min, down", slider(kIntMin, kIntMax), kIntMin, 10, kIntMin},
        {"many notches are one step", slider(0, 9), 4, -1200, 5},
        {"slider missing", slider(0, 3), missing, -10, missing},
        {"text beyond the options, up", textSlider(), 7, -10, 2},
        {"text at first, down", textSlider(), 0, 10, 0},
        {"text up", textSlider(), 1, -10, 2},
        {"text at last, up", textSlider(), 2, -10, 2},
        {"text below, down", textSlider(), -5, 10, 0},
        {"text missing", textSlider(), missing, -10, missing},
    };
    for (const Case& c : cases) {
        const std::string variable = fresh();
        if (c.before) {
            setIntVar(variable, *c.before);
        }
        c.make(variable)->Apply(Kor::WindowPoint{0, c.deltaY});
        EXPECT_EQ(valueOf(variable), c.after) << c.what;
    }
    // An item never creates a setting, nor overwrites one that is not an integer.
    std::string words = "words";
    Kor::SetVar("items.words", Kor::ValueRef{&words, Kor::VarType::String});
    Toggle("W", "items.words").Apply({0, 0});
    EXPECT_EQ(Kor::ListVariables()["items.words"], "words");
}

TEST_F(GLMenuItemsTest, AButtonRunsItsLineAsTypedWhateverTheDelta) {
    OrvaneTest::setIntVar("showDebug", 1);
    OrvaneTest::setIntVar("debug.Default", 4);
    Button("B", "zzmenuprobe a \"b c\" # comment").Apply({0, 0});
    Button("B", "zzmenuprobe wheel").Apply({0, -10});
    Button("B", "nosuch").Apply({0, 0});
    EXPECT_EQ(gProbeCalls, (std::vector<std::string>{"zzmenuprobe|a|b c", "zzmenuprobe|wheel"}));
    // A line of its own, not of a script: no line number.
    EXPECT_EQ(mSink->lines(), std::vector<std::string>{"[Default] ! Unknown command: 'nosuch'\n"});
}

TEST(GLMenuItemsWithoutRegistry, SettingItemsShowGreyAndChangeNothingWhileButtonsRun) {
    ORVANE_EXPECT_IN_FRESH_PROCESS({
        ASSERT_EQ(Qel::RuntimeContext::VarsManager, nullptr);
        Kor::RegisterCommand("zzmenuprobe", probe, nullptr);
        std::vector<std::unique_ptr<Base>> items;
        items.push_back(toggle()("showDebug"));
        items.push_back(slider(0, 3)("showDebug"));
        items.push_back(textSlider()("showDebug"));
        items.push_back(std::make_unique<Button>("Go", "zzmenuprobe go"));
        for (const auto& item : items) {
            item->Apply({0, 0});
            item->Apply({0, -10});
        }
        EXPECT_EQ(items[0]->Shown(), (Label{"Rec", kMissingColour}));
        EXPECT_EQ(items[1]->Shown(), (Label{"Speed:?", kMissingColour}));
        EXPECT_EQ(items[2]->Shown(), (Label{"Mode:?", kMissingColour}));
        EXPECT_EQ(gProbeCalls, (std::vector<std::string>{"zzmenuprobe|go", "zzmenuprobe|go"}));
    });
}

}  // namespace
