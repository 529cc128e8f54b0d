#pragma once
// Logging tests: a sink that records every line, and the process's registry with the log
// settings connected to it. Header only; the test links PlatformLib.
//
// The log settings are function-local bindings, connected once per process on first use, so
// a test binary calls installLogCapture() before anything logs, and tests of the world without
// a registry run in a fresh process (runInFreshProcess below).

#include <gtest/gtest.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "PlatformLib/InMemoryVarsManager.h"
#include "PlatformLib/LogOutput.h"
#include "PlatformLib/Vars.h"

namespace OrvaneTest {

class RecordingLogSink final : public Kor::LogSink {
public:
    void Printf(const char* format, ...) override QEL_PRINTF_FORMAT(2, 3) {
        va_list arguments;
        va_start(arguments, format);
        va_list again;
        va_copy(again, arguments);
        const int length = std::vsnprintf(nullptr, 0, format, arguments);
        va_end(arguments);
        std::string text(length > 0 ? static_cast<size_t>(length) : 0, '\0');
        std::vsnprintf(text.data(), text.size() + 1, format, again);
        va_end(again);
        std::lock_guard lock(mMutex);
        mLines.push_back(std::move(text));
    }

    int32_t PrefixWidth(int32_t prefixLength) override {
        std::lock_guard lock(mMutex);
        mPrefixLengths.push_back(prefixLength);
        return mFixedWidth >= 0 ? mFixedWidth : prefixLength;
    }

    std::vector<std::string> lines() {
        std::lock_guard lock(mMutex);
        return mLines;
    }
    std::vector<int32_t> prefixLengths() {
        std::lock_guard lock(mMutex);
        return mPrefixLengths;
    }
    // A negative width answers each prefix length itself.
    void setWidth(int32_t width) {
        std::lock_guard lock(mMutex);
        mFixedWidth = width;
    }
    void clear() {
        std::lock_guard lock(mMutex);
        mLines.clear();
        mPrefixLengths.clear();
    }

private:
    std::mutex mMutex;
    std::vector<std::string> mLines;
    std::vector<int32_t> mPrefixLengths;
    int32_t mFixedWidth = -1;
};

inline void setIntVar(std::string_view name, int value) {
    Kor::SetVar(name, Kor::ValueRef{&value, Kor::VarType::Int});
}

// The log settings back at their defaults.
inline void resetLogSettings() {
    setIntVar("debug.Default", 3);
    setIntVar("showDebug", 0);
    setIntVar("logLevel", 4);
    setIntVar("qelresult_log_failures_to_stdout", 0);
}

// Installs the registry and the recording sink and connects LogLine's and ReportFailure's
// settings to the registry; then the settings are reset and the sink emptied.
inline RecordingLogSink& installLogCapture() {
    static RecordingLogSink* const sink = [] {
        Kor::InstallInMemoryVarsManager();
        auto* created = new RecordingLogSink();
        Qel::RuntimeContext::LogSink = created;
        Kor::LogLine(__FILE__, __LINE__, 0, "");
        Kor::ReportFailure(__FILE__, __LINE__, "connecting the settings");
        return created;
    }();
    Qel::RuntimeContext::LogSink = sink;
    resetLogSettings();
    sink->clear();
    sink->setWidth(-1);
    return *sink;
}

// Runs the body in a new process of this test binary (gtest's "threadsafe" death-test style
// starts the binary again), where no binding is connected yet; the test fails unless the body
// passes all its expectations there.
#define ORVANE_EXPECT_IN_FRESH_PROCESS(body)                       \
    do {                                                           \
        GTEST_FLAG_SET(death_test_style, "threadsafe");            \
        EXPECT_EXIT(                                               \
            {                                                      \
                body;                                              \
                std::fflush(stdout);                               \
                std::_Exit(::testing::Test::HasFailure() ? 1 : 0); \
            },                                                     \
            ::testing::ExitedWithCode(0), "");                     \
    } while (0)

}  // namespace OrvaneTest
