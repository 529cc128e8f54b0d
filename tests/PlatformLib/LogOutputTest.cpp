// The log line format, failure reports and fail-fast, through a recording sink.
#include "PlatformLib/LogOutput.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#ifndef _WIN32
#include <signal.h>
#include <sys/ptrace.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <cstdlib>
#include <cstring>
#include <iomanip>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "PlatformLib/Process.h"
#include "tests/support/LogCapture.h"
#include "tests/support/Platform.h"

namespace {

using OrvaneTest::setIntVar;
using ::testing::HasSubstr;
using ::testing::Not;

constexpr int32_t kWarning = static_cast<int32_t>(Kor::LogLevel::Warning);
constexpr int32_t kError = static_cast<int32_t>(Kor::LogLevel::Error);

// The system's text of a code, which the process services' own tests hold against the system.
std::string systemText(int32_t code) {
    char text[256];
    Kor::SystemErrorText(code, text, sizeof text);
    return text;
}

class LogOutputTest : public ::testing::Test {
protected:
    void SetUp() override { mSink = &OrvaneTest::installLogCapture(); }

    std::vector<std::string> lines() { return mSink->lines(); }

    // One LogLine and the single line it wrote ("" when none).
    std::string logOnce(const char* file, int32_t line, int32_t level, const char* message) {
        mSink->clear();
        Kor::LogLine(file, line, level, message);
        auto written = lines();
        EXPECT_LE(written.size(), 1u);
        return written.empty() ? std::string() : written[0];
    }

    OrvaneTest::RecordingLogSink* mSink = nullptr;
};

TEST_F(LogOutputTest, EachShowDebugValueSelectsItsPrefix) {
    const char* file = "C:/src/lib\\Window.cpp";
    const std::string tid = std::to_string(Kor::CurrentThreadId());
    struct Case {
        int show;
        std::string pattern;
    };
    const std::vector<Case> cases = {
        {1, "message\n"},
        {2, R"(\*WRN\* Window\.cpp message\n)"},
        {3, R"(\*WRN\* Window\.cpp:42 message\n)"},
        {4, R"(\[ *)" + tid + R"(\] \*WRN\* Window\.cpp:42 message\n)"},
        {5, R"(\[ *)" + tid + R"( \d+\.\d{3}\] \*WRN\* Window\.cpp:42 message\n)"},
        {6, R"(\[-unscheduled-\] \*WRN\* Window\.cpp:42 message\n)"},
        {7, R"(\[-unscheduled- \d+\.\d{3}\] \*WRN\* Window\.cpp:42 message\n)"},
        {8, "message\n"},
        {1000, "message\n"},
    };
    for (const auto& c : cases) {
        setIntVar("showDebug", c.show);
        const std::string line = logOnce(file, 42, kWarning, "message");
        EXPECT_TRUE(std::regex_match(line, std::regex(c.pattern)))
            << "showDebug " << c.show << ": " << line;
        ASSERT_EQ(mSink->prefixLengths().size(), 1u);
        EXPECT_EQ(static_cast<size_t>(mSink->prefixLengths()[0]), line.size() - 8)
            << "showDebug " << c.show;
    }
}

TEST_F(LogOutputTest, ThreadIdIsFiveColumnsWide) {
    setIntVar("showDebug", 4);
    std::ostringstream expected;
    expected << '[' << std::setw(5) << Kor::CurrentThreadId() << "] *ERR* f.cpp:1 m\n";
    EXPECT_EQ(logOnce("f.cpp", 1, kError, "m"), expected.str());
}

TEST_F(LogOutputTest, TheTimeIsTheMonotonicClock) {
    setIntVar("showDebug", 7);
    // The process services' counter, which their own tests hold against the system's clock.
    const auto seconds = [] {
        return static_cast<double>(Kor::MonotonicCounter()) /
               static_cast<double>(Kor::MonotonicFrequency());
    };
    const double before = seconds();
    const std::string line = logOnce("f.cpp", 1, kError, "m");
    const double after = seconds();
    const double shown = std::strtod(line.c_str() + std::strlen("[-unscheduled- "), nullptr);
    EXPECT_GE(shown, before - 0.0005);
    EXPECT_LE(shown, after + 0.0005);
}

TEST_F(LogOutputTest, ThePrefixIsPaddedToTheSinksWidth) {
    setIntVar("showDebug", 2);
    mSink->setWidth(20);
    std::ostringstream expected;
    expected << std::left << std::setw(20) << "*WRN* a.cpp "
             << "text\n";
    EXPECT_EQ(logOnce("a.cpp", 3, kWarning, "text"), expected.str());
    setIntVar("showDebug", 1);
    mSink->setWidth(4);
    EXPECT_EQ(logOnce("a.cpp", 3, kWarning, "text"), "    text\n");
    EXPECT_EQ(mSink->prefixLengths(), std::vector<int32_t>{0});
}

TEST_F(LogOutputTest, ShowDebugBelowOneWritesNothing) {
    for (int show : {0, -1}) {
        setIntVar("showDebug", show);
        EXPECT_EQ(logOnce("a.cpp", 3, kError, "text"), "");
    }
}

TEST_F(LogOutputTest, LogLevelIsTheHighestLevelWritten) {
    setIntVar("showDebug", 2);
    setIntVar("logLevel", 0);
    for (int32_t level = 1; level <= 4; ++level) {
        EXPECT_EQ(logOnce("a.cpp", 1, level, "m"), "") << level;
    }
    setIntVar("logLevel", 1);
    EXPECT_EQ(logOnce("a.cpp", 1, 1, "m"), "*ERR* a.cpp m\n");
    for (int32_t level = 2; level <= 4; ++level) {
        EXPECT_EQ(logOnce("a.cpp", 1, level, "m"), "") << level;
    }
}

TEST_F(LogOutputTest, EachLevelHasItsTagAndLevelZeroIsNeverWritten) {
    setIntVar("showDebug", 2);
    setIntVar("logLevel", 100);
    EXPECT_EQ(logOnce("a.cpp", 1, 1, "m"), "*ERR* a.cpp m\n");
    EXPECT_EQ(logOnce("a.cpp", 1, 2, "m"), "*WRN* a.cpp m\n");
    EXPECT_EQ(logOnce("a.cpp", 1, 3, "m"), "*INF* a.cpp m\n");
    EXPECT_EQ(logOnce("a.cpp", 1, 4, "m"), "      a.cpp m\n");
    EXPECT_EQ(logOnce("a.cpp", 1, 9, "m"), "      a.cpp m\n");
    EXPECT_EQ(logOnce("a.cpp", 1, -2, "m"), "      a.cpp m\n");
    EXPECT_EQ(logOnce("a.cpp", 1, 0, "m"), "");
}

TEST_F(LogOutputTest, OnlyTheFileNameOfTheSourcePathIsShown) {
    setIntVar("showDebug", 2);
    const std::vector<std::pair<const char*, std::string>> cases = {
        {"/home/dev/orvane/RuntimeLib/Parser.cpp", "Parser.cpp"},
        {"src/gl/win\\x11\\Glx.cpp", "Glx.cpp"},
        {"C:\\dir\\sub/Name.cpp", "Name.cpp"},
        {"Bare.cpp", "Bare.cpp"},
        {"trailing/", ""},
        {"", ""},
        {nullptr, "(null)"},
    };
    for (const auto& [path, name] : cases) {
        EXPECT_EQ(logOnce(path, 1, kWarning, "m"), "*WRN* " + name + " m\n")
            << (path ? path : "null");
    }
    EXPECT_EQ(logOnce("a.cpp", 1, kWarning, nullptr), "*WRN* a.cpp (null)\n");
}

TEST_F(LogOutputTest, ALongPrefixIsCutAt255Characters) {
    setIntVar("showDebug", 3);
    const std::string file(400, 'f');
    const std::string line = logOnce(file.c_str(), 12345, kWarning, "m");
    EXPECT_EQ(mSink->prefixLengths(), std::vector<int32_t>{255});
    EXPECT_EQ(line, "*WRN* " + std::string(249, 'f') + "m\n");
}

TEST_F(LogOutputTest, AFailureReportCarriesCodeZeroAndItsSystemText) {
    setIntVar("showDebug", 2);
    Kor::ReportFailure("dir/Check.cpp", 7, "QelResult ERROR - CFF(mhdc != 0)");
    // The C library's own text for 0, which ends without a line break.
    const std::string system = systemText(0);
    EXPECT_EQ(lines(), std::vector<std::string>{"*ERR* Check.cpp QelResult ERROR - CFF(mhdc != 0). "
                                                "HRESULT: 0x00000000 (" +
                                                system + ")\n"});
}

TEST_F(LogOutputTest, ALongFailureReportIsCutAt255Characters) {
    setIntVar("showDebug", 1);
    const std::string message(300, 'm');
    Kor::ReportFailure("a.cpp", 1, message.c_str());
    EXPECT_EQ(lines(), std::vector<std::string>{std::string(255, 'm') + "\n"});
}

TEST_F(LogOutputTest, FailuresGoToStandardOutputWhenAsked) {
    testing::internal::CaptureStdout();
    Kor::ReportFailure("/src/dir/Check.cpp", 31, "first");
    setIntVar("qelresult_log_failures_to_stdout", 1);
    Kor::ReportFailure("/src/dir/Check.cpp", 32, "second");
    Kor::ReportFailure(nullptr, 33, "third");
    const std::string out = testing::internal::GetCapturedStdout();
    const std::string system = systemText(0);
    EXPECT_EQ(out, "second. HRESULT: 0x00000000 (" + system + ") (/src/dir/Check.cpp:32)\n" +
                       "third. HRESULT: 0x00000000 (" + system + ") ((null):33)\n");
    // showDebug is 0: nothing went to the sink.
    EXPECT_TRUE(lines().empty());
}

__extension__ typedef __int128 Wide;

TEST(CounterToNanoseconds, SplitsSoThatNoProductOverflows) {
    const int64_t frequencies[] = {1, 1000, 3579545, 10000000, 1000000000, 2400000000};
    const int64_t counters[] = {0, 1, 999, 123456789012, INT64_MAX / 7, INT64_MAX - 1, INT64_MAX};
    for (int64_t frequency : frequencies) {
        for (int64_t counter : counters) {
            const Wide wide = static_cast<Wide>(counter) * 1000000000 / frequency;
            if (wide > INT64_MAX) {
                continue;
            }
            // The split loses at most the rounding of its two parts.
            const int64_t exact = static_cast<int64_t>(wide);
            const int64_t split = Kor::CounterToNanoseconds(counter, frequency);
            EXPECT_LE(split, exact) << counter << " / " << frequency;
            EXPECT_GE(split, exact - 1) << counter << " / " << frequency;
        }
    }
}

struct Noisy {
    ~Noisy() { std::fputs("destructor ran\n", stderr); }
};

void announceExit() {
    std::fputs("exit handler ran\n", stderr);
}

// The probe itself: a normal exit does run them, so the test below can fail.
TEST(FailFastDeathTest, ANormalExitRunsDestructorsAndExitHandlers) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            static Noisy atExit;
            std::atexit(announceExit);
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), HasSubstr("exit handler ran\ndestructor ran"));
}

TEST(FailFastDeathTest, EndsTheProcessWithoutDestructorsOrExitHandlers) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            static Noisy atExit;
            std::atexit(announceExit);
            Noisy local;
            Kor::FailFast();
        },
        OrvaneTest::FailedFast(), Not(HasSubstr("ran")));
}

#ifndef _WIN32
// A child traced by this test (ptrace): FailFast stops it with SIGTRAP first, then aborts.
TEST(FailFastDeathTest, StopsInAnAttachedDebuggerFirst) {
    std::fflush(nullptr);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (ptrace(PTRACE_TRACEME, 0, nullptr, nullptr) != 0) {
            _exit(77);
        }
        raise(SIGSTOP);
        Kor::FailFast();
    }
    std::vector<int> stops;
    int status = 0;
    while (waitpid(child, &status, 0) == child && WIFSTOPPED(status)) {
        const int signal = WSTOPSIG(status);
        stops.push_back(signal);
        // The debugger swallows its own stops and lets the abort through.
        const int deliver = signal == SIGABRT ? SIGABRT : 0;
        ptrace(PTRACE_CONT, child, nullptr,
               reinterpret_cast<void*>(static_cast<intptr_t>(deliver)));
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == 77) {
        GTEST_SKIP() << "tracing is not allowed here";
    }
    EXPECT_EQ(stops, (std::vector<int>{SIGSTOP, SIGTRAP, SIGABRT}));
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGABRT);
}

#endif

}  // namespace
