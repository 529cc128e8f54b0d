// Tokenizer, line execution, environment expansion, scripts and completion.
#include "RuntimeLib/Parser.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/LogCapture.h"
#include "tests/support/Platform.h"

namespace {

using OrvaneTest::setIntVar;
using Tokens = std::vector<std::string>;

struct Call {
    Tokens tokens;
    void* context;
};
std::vector<Call> gCalls;

void record(std::vector<std::string> tokens, void* context) {
    gCalls.push_back({std::move(tokens), context});
}

class ParserTest : public ::testing::Test {
protected:
    void SetUp() override {
        mSink = &OrvaneTest::installLogCapture();
        gCalls.clear();
    }
    void verbose() {
        setIntVar("debug.Default", 4);
        setIntVar("showDebug", 1);
    }
    std::string text(const std::string& name) { return Kor::ListVariables()[name]; }

    OrvaneTest::RecordingLogSink* mSink = nullptr;
};

TEST(Tokenize, SplitsQuotesCommentsAndEquals) {
    const std::vector<std::pair<std::string, Tokens>> cases = {
        {"setint \"my var\" = 3 # set it", {"setint", "my var", "=", "3"}},
        {"speed=12", {"speed", "=", "12"}},
        {"echo \"\"", {"echo", ""}},
        {"a \"\" \"\" b", {"a", "", "", "b"}},
        {"  \t lead   trail \t ", {"lead", "trail"}},
        {"a//b c", {"a"}},
        {"a/b /c", {"a/b", "/c"}},
        {"path \"//server/x #1 = y\"", {"path", "//server/x #1 = y"}},
        {"a==b", {"a", "=", "=", "b"}},
        {"=", {"="}},
        {"x \"unterminated = and # kept", {"x", "unterminated = and # kept"}},
        {"ab\"cd ef\"gh", {"abcd ef", "gh"}},
        {"#only comment", {}},
        {"", {}},
        {"tab\tsep", {"tab", "sep"}},
        {"no\\escape \\\"", {"no\\escape", "\\"}},
    };
    for (const auto& [line, tokens] : cases) {
        EXPECT_EQ(Kor::Tokenize(line), tokens) << line;
    }
}

TEST_F(ParserTest, AssignmentNeedsAnEqualsAsSecondToken) {
    Kor::RegisterCommand("probe", record, this);
    Kor::ExecuteLine("speed=12 ignored", 0);
    EXPECT_EQ(text("speed"), "12");
    Kor::ExecuteLine("setint \"my var\" = 3", 0);
    EXPECT_EQ(Kor::ListVariables().count("my var"), 0u);
    Kor::ExecuteLine("probe = ", 0);
    Kor::ExecuteLine("probe a \"b c\"", 3);
    ASSERT_EQ(gCalls.size(), 2u);
    EXPECT_EQ(gCalls[0].tokens, (Tokens{"probe", "="}));
    EXPECT_EQ(gCalls[1].tokens, (Tokens{"probe", "a", "b c"}));
    EXPECT_EQ(gCalls[1].context, this);
    // "rem" is a command only when the line is not an assignment.
    Kor::ExecuteLine("rem = 5", 0);
    EXPECT_EQ(text("rem"), "5");
}

TEST_F(ParserTest, AssignedValuesAreExpandedButNamesAreNot) {
    OrvaneTest::setEnv("ORVANE_TEST_VALUE", "from env");
    Kor::ExecuteLine("%ORVANE_TEST_VALUE% = \"%ORVANE_TEST_VALUE%!\"", 0);
    EXPECT_EQ(text("%ORVANE_TEST_VALUE%"), "from env!");
}

TEST_F(ParserTest, CommentTokensAndEmptyLinesDoNothing) {
    verbose();
    for (const char* line : {"\"//x\" y", "\"#x\"", "\"#\"", "   ", "# all"}) {
        Kor::ExecuteLine(line, 1);
    }
    EXPECT_TRUE(mSink->lines().empty());
    // A lone "/" is no comment.
    Kor::ExecuteLine("\"/\"", 0);
    EXPECT_EQ(mSink->lines(), Tokens{"[Default] ! Unknown command: '/'\n"});
}

TEST_F(ParserTest, UnknownCommandsAreLoggedWithTheirLine) {
    Kor::ExecuteLine("nosuch", 0);
    EXPECT_TRUE(mSink->lines().empty());
    verbose();
    Kor::ExecuteLine("nosuch a b", 0);
    Kor::ExecuteLine("nosuch", 17);
    EXPECT_EQ(mSink->lines(), (Tokens{"[Default] ! Unknown command: 'nosuch'\n",
                                      "[Default] ! Line 17: Unknown command: 'nosuch'\n"}));
}

void other(std::vector<std::string> tokens, void* context) {
    gCalls.push_back({{"other:" + tokens[0]}, context});
}

TEST_F(ParserTest, RegisteringANameAgainReplacesHandlerAndContext) {
    int first = 0;
    int second = 0;
    Kor::RegisterCommand("replaced", record, &first);
    Kor::RegisterCommand("replaced", other, &second);
    Kor::ExecuteLine("replaced", 0);
    ASSERT_EQ(gCalls.size(), 1u);
    EXPECT_EQ(gCalls[0].tokens, Tokens{"other:replaced"});
    EXPECT_EQ(gCalls[0].context, &second);
    EXPECT_EQ(Kor::Commands().count("replaced"), 1u);
}

TEST_F(ParserTest, UnregisteringRemovesOnlyAnEntryThatStillHoldsTheContext) {
    int owner = 0;
    int successor = 0;
    Kor::RegisterCommand("owned", record, &owner);
    EXPECT_TRUE(Kor::UnregisterCommand("owned", &owner));
    EXPECT_EQ(Kor::Commands().count("owned"), 0u);
    EXPECT_FALSE(Kor::UnregisterCommand("owned", &owner));

    Kor::RegisterCommand("taken", record, &owner);
    Kor::RegisterCommand("taken", record, &successor);
    EXPECT_FALSE(Kor::UnregisterCommand("taken", &owner));
    Kor::ExecuteLine("taken", 0);
    ASSERT_EQ(gCalls.size(), 1u);
    EXPECT_EQ(gCalls[0].context, &successor);
}

TEST_F(ParserTest, CheckArgCountTellsWhatWasWanted) {
    verbose();
    EXPECT_TRUE(Kor::CheckArgCount({"cmd", "a"}, 2));
    EXPECT_FALSE(Kor::CheckArgCount({"cmd"}, 3));
    EXPECT_FALSE(Kor::CheckArgCount({}, 1));
    EXPECT_EQ(mSink->lines(), (Tokens{"[Default] ! Error: cmd cmd wanted 2 args. \n",
                                      "[Default] ! Error: cmd  wanted 0 args. \n"}));
}

// The expansion as described: replace the first pair, start again from the beginning.
std::string expandFromTheStart(std::string text) {
    for (;;) {
        const size_t open = text.find('%');
        const size_t close = open == std::string::npos ? open : text.find('%', open + 1);
        if (close == std::string::npos) {
            return text;
        }
        const std::string name = text.substr(open + 1, close - open - 1);
        const char* value = name.empty() ? nullptr : std::getenv(name.c_str());
        text.replace(open, close - open + 1, value ? value : "");
    }
}

TEST_F(ParserTest, ExpansionReplacesPairsAndWhatValuesBringIn) {
    OrvaneTest::setEnv("ORVANE_TEST_A", "alpha");
    OrvaneTest::setEnv("ORVANE_TEST_REF", "%ORVANE_TEST_A%");
    OrvaneTest::setEnv("ORVANE_TEST_HALF", "50%");
    setIntVar("debug.Default", 2);
    setIntVar("showDebug", 1);
    EXPECT_EQ(Kor::ExpandEnvironment("x %ORVANE_TEST_A% y"), "x alpha y");
    EXPECT_EQ(Kor::ExpandEnvironment("%ORVANE_TEST_REF%/%ORVANE_TEST_A%"), "alpha/alpha");
    EXPECT_EQ(Kor::ExpandEnvironment("100% sure"), "100% sure");
    EXPECT_EQ(Kor::ExpandEnvironment("%ORVANE_TEST_HALF%ORVANE_TEST_A%"), "50alpha");
    EXPECT_TRUE(mSink->lines().empty());

    EXPECT_EQ(Kor::ExpandEnvironment("a%%b"), "ab");
    EXPECT_EQ(Kor::ExpandEnvironment("[%ORVANE_TEST_UNSET%]"), "[]");
    EXPECT_EQ(mSink->lines(),
              (Tokens{"[Default] no value for environment variable \"\"\n",
                      "[Default] no value for environment variable \"ORVANE_TEST_UNSET\"\n"}));
}

TEST_F(ParserTest, ExpansionMatchesStartingOverOnGeneratedText) {
    OrvaneTest::setEnv("ORVANE_TEST_A", "alpha");
    OrvaneTest::setEnv("ORVANE_TEST_PCT", "%");
    OrvaneTest::setEnv("ORVANE_TEST_HALF", "50%");
    const std::vector<std::string> pieces = {
        "%", "ORVANE_TEST_A", "ORVANE_TEST_PCT", "ORVANE_TEST_HALF", "x", " ", "%%"};
    std::mt19937 random(7);
    std::uniform_int_distribution<size_t> pick(0, pieces.size() - 1);
    for (int i = 0; i < 3000; ++i) {
        std::string text;
        for (int n = 0; n < 8; ++n) {
            text += pieces[pick(random)];
        }
        ASSERT_EQ(Kor::ExpandEnvironment(text), expandFromTheStart(text)) << text;
    }
}

TEST_F(ParserTest, AValueThatBringsBackItsPairStopsWithAWarning) {
    OrvaneTest::setEnv("ORVANE_TEST_LOOP", "%ORVANE_TEST_LOOP%");
    const std::string filler(200, 'a');
    OrvaneTest::setEnv("ORVANE_TEST_GROW",
                       (filler + "%ORVANE_TEST_GROW%%ORVANE_TEST_GROW%").c_str());
    setIntVar("showDebug", 1);
    EXPECT_EQ(Kor::ExpandEnvironment("<%ORVANE_TEST_LOOP%>"), "<%ORVANE_TEST_LOOP%>");
    const std::string grown = Kor::ExpandEnvironment("%ORVANE_TEST_GROW%");
    EXPECT_LE(grown.size(), Kor::kMaxExpandedLength);
    EXPECT_EQ(grown.substr(0, 400), filler + filler);
    EXPECT_EQ(mSink->lines(),
              (Tokens{"[Default] ! Expansion of \"<%ORVANE_TEST_LOOP%>\" stopped after " +
                          std::to_string(Kor::kMaxExpansions) + " replacements\n",
                      "[Default] ! Expansion of \"%ORVANE_TEST_GROW%\" stopped at " +
                          std::to_string(grown.size()) + " characters\n"}));
}

TEST_F(ParserTest, ScriptsRunLinesOutsideCommentBlocks) {
    Kor::RegisterCommand("probe", record, nullptr);
    std::istringstream script(
        "probe 1\n"
        "\n"
        "begin_block\n"
        "  probe 2\r\n"
        "end_block trailing words\n"
        "begin_block_comment\n"
        "probe hidden\n"
        "begin_block\n"
        "probe hidden too\n"
        "end_block\n"
        "probe still hidden\n"
        "end_block\n"
        "probe 3");
    Kor::ParseScript(script, "menu.cfg");
    std::vector<Tokens> run;
    for (const auto& call : gCalls) {
        run.push_back(call.tokens);
    }
    EXPECT_EQ(run, (std::vector<Tokens>{{"probe", "1"}, {"probe", "2"}, {"probe", "3"}}));
}

TEST_F(ParserTest, ScriptBlockErrorsAreLoggedAndTheScriptGoesOn) {
    Kor::RegisterCommand("probe", record, nullptr);
    verbose();
    std::istringstream script(
        "end_block\n"
        "probe after\n"
        "nosuch\n"
        "begin_block\n"
        "begin_block_comment\n");
    Kor::ParseScript(script, "dir/stray.cfg");
    EXPECT_EQ(gCalls.size(), 1u);
    EXPECT_EQ(mSink->lines(),
              (Tokens{"[Default] parsing file: 'dir/stray.cfg'\n",
                      "[Default] ! end_block without begin_block: line 1 of 'dir/stray.cfg'\n",
                      "[Default] ! Line 3: Unknown command: 'nosuch'\n",
                      "[Default] ! At end of 'dir/stray.cfg', unterminated block\n"}));
}

TEST_F(ParserTest, AStreamThatDidNotOpenIsReportedOnly) {
    verbose();
    std::istringstream failed("probe 1\n");
    failed.setstate(std::ios::failbit);
    Kor::ParseScript(failed, "gone.cfg");
    EXPECT_TRUE(gCalls.empty());
    EXPECT_EQ(mSink->lines(), (Tokens{"[Default] parsing file: 'gone.cfg'\n",
                                      "[Default] Could not open gone.cfg\n"}));
}

TEST_F(ParserTest, CompletionOffersCommandsAndVariables) {
    Kor::RegisterCommand("settle", record, nullptr);
    setIntVar("set", 4);
    setIntVar("setup.width", 800);
    setIntVar("other", 1);
    EXPECT_EQ(Kor::Complete("set"),
              (Tokens{"set=4", "setfloat", "setint", "setstring", "settle", "setup.width"}));
    EXPECT_EQ(Kor::Complete("setup.width"), Tokens{"setup.width=800"});
    EXPECT_EQ(Kor::Complete("zz"), Tokens{});

    Kor::VarsManager* registry = Qel::RuntimeContext::VarsManager;
    Qel::RuntimeContext::VarsManager = nullptr;
    EXPECT_EQ(Kor::Complete("set"), (Tokens{"setfloat", "setint", "setstring", "settle"}));
    const Tokens all = Kor::Complete("");
    Qel::RuntimeContext::VarsManager = registry;
    EXPECT_EQ(all.size(), Kor::Commands().size());
}

TEST(BuiltinRegistration, CommandlistOnTheBuiltinsAlone) {
    ORVANE_EXPECT_IN_FRESH_PROCESS({
        testing::internal::CaptureStdout();
        Kor::ExecuteLine("commandlist", 0);
        EXPECT_EQ(testing::internal::GetCapturedStdout(),
                  "Registered commands: \n"
                  "  commandlist\n"
                  "  echo\n"
                  "  exit\n"
                  "  rem\n"
                  "  setfloat\n"
                  "  setint\n"
                  "  setstring\n"
                  "  toggle\n"
                  "  varlist\n"
                  "end of list \n");
    });
}

}  // namespace
