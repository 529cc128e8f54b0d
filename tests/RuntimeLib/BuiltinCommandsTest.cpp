// The built-in commands, and their number scans against the C library's sscanf.
#include "RuntimeLib/BuiltinCommands.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "PlatformLib/VarsManager.h"
#include "tests/support/LogCapture.h"
#include "tests/support/Platform.h"

namespace {

using OrvaneTest::setIntVar;
using Tokens = std::vector<std::string>;

template <typename T>
Kor::NumberScan sscanfOracle(const std::string& text, const char* format, T& value) {
    int consumed = 0;
    const int result = std::sscanf(text.c_str(), format, &value, &consumed);
    return {result, result == 1 ? static_cast<size_t>(consumed) : 0};
}

TEST(NumberScan, MatchesSscanf) {
    std::mt19937 random(99);
    const std::string alphabet = " \t\n+-0123456789.eExpinfa";
    std::uniform_int_distribution<size_t> pick(0, alphabet.size() - 1);
    std::uniform_int_distribution<int> length(0, 9);
    for (int i = 0; i < 20000; ++i) {
        std::string text;
        for (int n = length(random); n > 0; --n) {
            text += alphabet[pick(random)];
        }
        int mine = 0;
        int theirs = 0;
        const Kor::NumberScan a = Kor::ScanInt(text, mine);
        const Kor::NumberScan b = sscanfOracle(text, "%d%n", theirs);
        ASSERT_EQ(a.result, b.result) << '"' << text << '"';
        ASSERT_EQ(a.consumed, b.consumed) << '"' << text << '"';
        ASSERT_EQ(mine, theirs) << '"' << text << '"';
        float mineF = 0;
        float theirsF = 0;
        const Kor::NumberScan c = Kor::ScanFloat(text, mineF);
        const Kor::NumberScan d = sscanfOracle(text, "%f%n", theirsF);
        // Overflow is no number here, where sscanf answers infinity.
        if (d.result == 1 && std::isinf(theirsF) && c.result == 0) {
            continue;
        }
        // sscanf also takes a partial exponent or prefix ("1e", "0x"), which strtof backs off.
        if (c.result == d.result && c.consumed == d.consumed) {
            ASSERT_TRUE(mineF == theirsF || (mineF != mineF && theirsF != theirsF)) << text;
        } else {
            ASSERT_EQ(c.result, 1) << '"' << text << '"';
            ASSERT_LT(c.consumed, text.size()) << '"' << text << '"';
        }
    }
}

TEST(NumberScan, IntsOutOfRangeAreNoNumber) {
    int value = 5;
    EXPECT_EQ(Kor::ScanInt("2147483647", value).result, 1);
    EXPECT_EQ(value, 2147483647);
    EXPECT_EQ(Kor::ScanInt(" -2147483648", value).consumed, 12u);
    EXPECT_EQ(value, -2147483647 - 1);
    value = 5;
    EXPECT_EQ(Kor::ScanInt("2147483648", value).result, 0);
    EXPECT_EQ(Kor::ScanInt("-99999999999999999999", value).result, 0);
    EXPECT_EQ(value, 5);
    float f = 1;
    EXPECT_EQ(Kor::ScanFloat("1e99", f).result, 0);
    EXPECT_EQ(f, 1.0f);
}

class BuiltinCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        mSink = &OrvaneTest::installLogCapture();
        setIntVar("showDebug", 1);
    }
    std::optional<Kor::ValueRef> get(std::string_view name) {
        Kor::VarsManager* registry = Qel::RuntimeContext::VarsManager;
        std::lock_guard lock(registry->Mutex());
        return registry->Get(name);
    }
    int intOf(std::string_view name) {
        auto ref = get(name);
        EXPECT_TRUE(ref && ref->type == Kor::VarType::Int) << name;
        return ref && ref->type == Kor::VarType::Int ? *static_cast<int*>(ref->value) : -999;
    }
    OrvaneTest::RecordingLogSink* mSink = nullptr;
};

TEST_F(BuiltinCommandsTest, SetintSetsWhatItCouldReadAndSaysWhenThatWasNotAll) {
    Kor::ExecuteLine("setint a 12abc", 0);
    EXPECT_EQ(intOf("a"), 12);
    Kor::ExecuteLine("setint b \"\"", 0);
    EXPECT_EQ(intOf("b"), 0);
    Kor::ExecuteLine("setint c \"  \"", 0);
    Kor::ExecuteLine("setint d -7", 0);
    EXPECT_EQ(intOf("d"), -7);
    Kor::ExecuteLine("setint e 99999999999", 0);
    EXPECT_EQ(intOf("e"), 0);
    EXPECT_EQ(mSink->lines(), (Tokens{"[Default] could not parse int: 12abc\n",
                                      "[Default] could not parse int:   \n",
                                      "[Default] could not parse int: 99999999999\n"}));
}

TEST_F(BuiltinCommandsTest, SetfloatAndSetstringExpandTheirValue) {
    OrvaneTest::setEnv("ORVANE_TEST_SCALE", "1.25");
    Kor::ExecuteLine("setfloat scale %ORVANE_TEST_SCALE%", 0);
    Kor::ExecuteLine("setfloat bad 2.5cm", 0);
    Kor::ExecuteLine("setstring title \"scale %ORVANE_TEST_SCALE%\"", 0);
    EXPECT_EQ(*static_cast<float*>(get("scale")->value), 1.25f);
    EXPECT_EQ(*static_cast<float*>(get("bad")->value), 2.5f);
    EXPECT_EQ(get("title")->type, Kor::VarType::String);
    EXPECT_EQ(Kor::ListVariables()["title"], "scale 1.25");
    EXPECT_EQ(mSink->lines(), Tokens{"[Default] could not parse float: 2.5cm\n"});
}

TEST_F(BuiltinCommandsTest, WrongArgumentCountsChangeNothing) {
    setIntVar("debug.Default", 4);
    Kor::ExecuteLine("setint onlyname", 0);
    Kor::ExecuteLine("toggle", 0);
    Kor::ExecuteLine("setstring wrongcount b c", 0);
    EXPECT_FALSE(get("onlyname"));
    EXPECT_FALSE(get("wrongcount"));
    EXPECT_EQ(mSink->lines(), (Tokens{"[Default] ! Error: cmd setint wanted 2 args. \n",
                                      "[Default] ! Error: cmd toggle wanted 1 args. \n",
                                      "[Default] ! Error: cmd setstring wanted 2 args. \n"}));
}

TEST_F(BuiltinCommandsTest, ToggleFlipsBetweenZeroAndOne) {
    Kor::ExecuteLine("toggle flag", 0);
    EXPECT_EQ(intOf("flag"), 1);
    Kor::ExecuteLine("toggle flag", 0);
    EXPECT_EQ(intOf("flag"), 0);
    setIntVar("flag", 5);
    Kor::ExecuteLine("toggle flag", 0);
    EXPECT_EQ(intOf("flag"), 0);
    Kor::ExecuteLine("typed = \" 3\"", 0);
    Kor::ExecuteLine("toggle typed", 0);
    EXPECT_EQ(intOf("typed"), 0);
    Kor::ExecuteLine("setstring word yes", 0);
    Kor::ExecuteLine("toggle word", 0);
    EXPECT_EQ(intOf("word"), 1);
}

TEST_F(BuiltinCommandsTest, EchoLogsItsTokensUnexpanded) {
    setIntVar("debug.Default", 4);
    Kor::ExecuteLine("echo  hello \"big  world\" %PATH%", 0);
    Kor::ExecuteLine("echo", 0);
    Kor::ExecuteLine("rem echo nothing", 0);
    EXPECT_EQ(mSink->lines(), (Tokens{"[Default] hello big  world %PATH%\n", "[Default] \n"}));
}

TEST_F(BuiltinCommandsTest, VarlistWritesEveryVariableInNameOrder) {
    Kor::VarsManager* logging = Qel::RuntimeContext::VarsManager;
    Kor::InMemoryVarsManager own;
    Qel::RuntimeContext::VarsManager = &own;
    Kor::ExecuteLine("setint b 2", 0);
    Kor::ExecuteLine("a = \"x y\"", 0);
    Kor::ExecuteLine("setfloat c 0.5", 0);
    testing::internal::CaptureStdout();
    Kor::ExecuteLine("varlist", 0);
    Qel::RuntimeContext::VarsManager = nullptr;
    Kor::ExecuteLine("varlist", 0);
    Qel::RuntimeContext::VarsManager = logging;
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "a = x y\nb = 2\nc = 0.5\n");
}

TEST_F(BuiltinCommandsTest, WithoutRegistryWritersReportTheMissingRegistry) {
    Kor::VarsManager* logging = Qel::RuntimeContext::VarsManager;
    Qel::RuntimeContext::VarsManager = nullptr;
    Kor::ExecuteLine("setint a 1", 0);
    Kor::ExecuteLine("toggle a", 0);
    Kor::ExecuteLine("a = 1", 0);
    Qel::RuntimeContext::VarsManager = logging;
    const auto lines = mSink->lines();
    ASSERT_EQ(lines.size(), 3u);
    for (const auto& line : lines) {
        EXPECT_EQ(
            line.rfind("QelResult ERROR - CFF(Qel::RuntimeContext::VarsManager != nullptr)", 0),
            0u);
    }
}

TEST(ExitCommand, EndsTheProcessNormally) {
    EXPECT_EXIT(Kor::ExecuteLine("exit now", 0), ::testing::ExitedWithCode(0), "");
}

}  // namespace
