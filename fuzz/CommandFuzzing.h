#pragma once
// Shared set-up of the interpreter fuzz targets: every message formatted and prefixed but
// thrown away, standard output discarded, "exit" defused, and a fresh registry per input so
// that variables do not pile up over millions of runs.

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "PlatformLib/InMemoryVarsManager.h"
#include "PlatformLib/LogOutput.h"
#include "PlatformLib/Vars.h"
#include "RuntimeLib/Logging.h"
#include "RuntimeLib/Parser.h"

namespace OrvaneFuzz {

class DiscardingLogSink final : public Kor::LogSink {
public:
    void Printf(const char* format, ...) override __attribute__((format(printf, 2, 3))) {
        char line[2048];
        va_list arguments;
        va_start(arguments, format);
        std::vsnprintf(line, sizeof line, format, arguments);
        va_end(arguments);
    }
    int32_t PrefixWidth(int32_t prefixLength) override { return prefixLength; }
};

inline void setInt(const char* name, int value) {
    Kor::SetVar(name, Kor::ValueRef{&value, Kor::VarType::Int});
}

inline void ignoreCommand(std::vector<std::string>, void*) {}

inline void setUpOnce() {
    static const bool done = [] {
        // varlist and commandlist write to standard output; libFuzzer reports on stderr.
        if (std::freopen("/dev/null", "w", stdout) == nullptr) {
            std::abort();
        }
        Kor::InstallInMemoryVarsManager();
        Qel::RuntimeContext::LogSink = new DiscardingLogSink();
        setInt("debug.Default", 4);
        setInt("showDebug", 5);
        setInt("logLevel", 4);
        setInt("qelresult_log_failures_to_stdout", 1);
        // Connects every log binding to this first registry, which stays for the process.
        Kor::IsVerboseEnabled();
        Kor::IsWarningEnabled();
        Kor::IsErrorEnabled();
        Kor::LogLine(__FILE__, __LINE__, 1, "");
        Kor::ReportFailure(__FILE__, __LINE__, "");
        Kor::RegisterCommand("exit", ignoreCommand, nullptr);
        setenv("ORVANE_FUZZ_LOOP", "%ORVANE_FUZZ_LOOP%", 1);
        setenv("ORVANE_FUZZ_GROW", "%ORVANE_FUZZ_GROW%%ORVANE_FUZZ_GROW%", 1);
        setenv("ORVANE_FUZZ_HALF", "50%", 1);
        return true;
    }();
    (void)done;
}

// The registry the commands of one input write to.
class InputRegistry {
public:
    InputRegistry() : mPrevious(Qel::RuntimeContext::VarsManager) {
        Qel::RuntimeContext::VarsManager = &mRegistry;
    }
    ~InputRegistry() { Qel::RuntimeContext::VarsManager = mPrevious; }

private:
    Kor::VarsManager* mPrevious;
    Kor::InMemoryVarsManager mRegistry;
};

}  // namespace OrvaneFuzz
