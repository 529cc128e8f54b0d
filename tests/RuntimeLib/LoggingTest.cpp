// The level gates, the call-site macros and the checked condition.
#include "RuntimeLib/Logging.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>

#include <cstring>
#include <string>
#include <thread>
#include <type_traits>
#include <vector>

#include "PlatformLib/Process.h"
#include "PlatformLib/StderrLogSink.h"
#include "tests/support/LogCapture.h"
#include "tests/support/Platform.h"

namespace {

using OrvaneTest::setIntVar;
using ::testing::HasSubstr;

int gEvaluations = 0;
const char* counted(const char* text) {
    ++gEvaluations;
    return text;
}

class LoggingTest : public ::testing::Test {
protected:
    void SetUp() override {
        mSink = &OrvaneTest::installLogCapture();
        gEvaluations = 0;
    }
    OrvaneTest::RecordingLogSink* mSink = nullptr;
};

TEST_F(LoggingTest, GatesFollowTheDefaultThreshold) {
    struct Case {
        int threshold;
        bool verbose, warning, error;
    };
    for (const Case& c :
         {Case{0, false, false, false}, Case{1, false, false, true}, Case{2, false, true, true},
          Case{3, false, true, true}, Case{4, true, true, true}, Case{9, true, true, true},
          Case{-1, false, false, false}}) {
        setIntVar("debug.Default", c.threshold);
        EXPECT_EQ(Kor::IsVerboseEnabled(), c.verbose) << c.threshold;
        EXPECT_EQ(Kor::IsWarningEnabled(), c.warning) << c.threshold;
        EXPECT_EQ(Kor::IsErrorEnabled(), c.error) << c.threshold;
    }
}

TEST_F(LoggingTest, ADisabledMessageIsNeitherFormattedNorWritten) {
    setIntVar("showDebug", 1);
    QEL_LOG_VERBOSE("[Default] %s", counted("verbose"));
    EXPECT_EQ(gEvaluations, 0);
    EXPECT_TRUE(mSink->lines().empty());
    QEL_LOG_WARNING("[Default] %s", counted("warning"));
    EXPECT_EQ(gEvaluations, 1);
    EXPECT_EQ(mSink->lines(), std::vector<std::string>{"[Default] warning\n"});
}

TEST_F(LoggingTest, AMessageNamesItsCallSite) {
    setIntVar("showDebug", 3);
    setIntVar("debug.Default", 4);
    const int line = __LINE__ + 1;
    QEL_LOG_VERBOSE("[Default] ! Cannot init window internals for %s", "main");
    QEL_LOG_ERROR("[Default] %d%%", 50);
    QEL_LOG_WARNING("[Default] plain");
    const std::string site = "LoggingTest.cpp:" + std::to_string(line);
    EXPECT_EQ(mSink->lines(),
              (std::vector<std::string>{
                  "      " + site + " [Default] ! Cannot init window internals for main\n",
                  "*ERR* LoggingTest.cpp:" + std::to_string(line + 1) + " [Default] 50%\n",
                  "*WRN* LoggingTest.cpp:" + std::to_string(line + 2) + " [Default] plain\n"}));
}

TEST_F(LoggingTest, AMessageIsCutAt1023Characters) {
    setIntVar("showDebug", 1);
    const std::string longText(2000, 'x');
    QEL_LOG_WARNING("[Default] %s", longText.c_str());
    EXPECT_EQ(mSink->lines(),
              std::vector<std::string>{"[Default] " + std::string(1013, 'x') + "\n"});
}

TEST_F(LoggingTest, EachThreadFormatsIntoItsOwnBuffer) {
    setIntVar("showDebug", 1);
    constexpr int kThreads = 8;
    constexpr int kMessages = 300;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t] {
            const std::string mine(100 + t, static_cast<char>('a' + t));
            for (int i = 0; i < kMessages; ++i) {
                QEL_LOG_WARNING("[Default] %s", mine.c_str());
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    const auto lines = mSink->lines();
    ASSERT_EQ(lines.size(), static_cast<size_t>(kThreads * kMessages));
    for (const auto& line : lines) {
        const size_t t = line.size() - 111;
        ASSERT_LT(t, static_cast<size_t>(kThreads)) << line;
        EXPECT_EQ(line, "[Default] " + std::string(100 + t, static_cast<char>('a' + t)) + "\n");
    }
}

TEST_F(LoggingTest, LogErrorConsultsNoGate) {
    setIntVar("showDebug", 2);
    setIntVar("debug.Default", 0);
    Kor::LogError("[Default] direct", "x/Caller.cpp", 5);
    EXPECT_EQ(mSink->lines(), std::vector<std::string>{"*ERR* Caller.cpp [Default] direct\n"});
}

// No registry at all: the thresholds keep their default 3 and nothing reaches a sink.
TEST(LoggingDefaults, WithoutRegistryWarningsAreFormattedAndVerboseIsNot) {
    ORVANE_EXPECT_IN_FRESH_PROCESS({
        Qel::RuntimeContext::VarsManager = nullptr;
        OrvaneTest::RecordingLogSink sink;
        Qel::RuntimeContext::LogSink = &sink;
        EXPECT_FALSE(Kor::IsVerboseEnabled());
        EXPECT_TRUE(Kor::IsWarningEnabled());
        EXPECT_TRUE(Kor::IsErrorEnabled());
        gEvaluations = 0;
        QEL_LOG_VERBOSE("[Default] %s", counted("verbose"));
        EXPECT_EQ(gEvaluations, 0);
        QEL_LOG_WARNING("[Default] %s", counted("warning"));
        QEL_LOG_ERROR("[Default] %s", counted("error"));
        EXPECT_EQ(gEvaluations, 2);
        Kor::ReportFailure(__FILE__, __LINE__, "not shown");
        EXPECT_TRUE(sink.lines().empty());
        Qel::RuntimeContext::LogSink = nullptr;
    });
}

// The whole report line but the line number, which belongs to the death-test macro.
::testing::Matcher<const std::string&> reportOf(const std::string& condition) {
    // The system's text of code 0, which the process services' own tests hold against the
    // system.
    char systemText[256];
    Kor::SystemErrorText(0, systemText, sizeof systemText);
    return ::testing::AllOf(
        HasSubstr("*ERR* LoggingTest.cpp:"),
        HasSubstr(" QelResult ERROR - CFF(" + condition + "). HRESULT: 0x00000000 (" +
                  std::string(systemText) + ")\n"));
}

// The report is read from standard error through the sink main installs.
void showFailuresOnStderr() {
    Kor::InstallStderrLogSink();
    setIntVar("showDebug", 3);
}

TEST_F(LoggingTest, CffReportsTheConditionAsWrittenAndEndsTheProcess) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const int value = 2;
    EXPECT_EXIT(
        {
            showFailuresOnStderr();
            QEL_CFF(value == 3);
        },
        OrvaneTest::FailedFast(), reportOf("value == 3"));
    EXPECT_EXIT(
        {
            showFailuresOnStderr();
            QEL_CFF(std::is_same_v<int, long>);
        },
        OrvaneTest::FailedFast(), reportOf("std::is_same_v<int, long>"));
}

TEST_F(LoggingTest, FailFastMacroReportsItsFixedCondition) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            showFailuresOnStderr();
            QEL_FAILFAST();
        },
        OrvaneTest::FailedFast(), reportOf("\"Explicit QEL_FAILFAST.\" && false"));
}

TEST_F(LoggingTest, ATrueConditionIsEvaluatedOnceAndGoesOn) {
    setIntVar("showDebug", 1);
    QEL_CFF(counted("yes") != nullptr);
    EXPECT_EQ(gEvaluations, 1);
    EXPECT_TRUE(mSink->lines().empty());
}

}  // namespace
