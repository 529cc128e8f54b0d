#include "RuntimeLib/Logging.h"

#include <cstdarg>
#include <cstdio>

#include "PlatformLib/Vars.h"

namespace Kor {
namespace {

constexpr int kDefaultThreshold = 3;

// Static TLS of the executable: no allocation on a thread's first message.
thread_local char tMessage[1024];

// No trace provider is registered on Linux, so no listener can enable one.
bool traceEnabled(int traceLevel) {
    (void)traceLevel;
    return false;
}

}  // namespace

bool IsVerboseEnabled() {
    static VarBinding<int> threshold("debug.Default", kDefaultThreshold);
    return threshold.Value() >= 4 || traceEnabled(5);
}

bool IsWarningEnabled() {
    static VarBinding<int> threshold("debug.Default", kDefaultThreshold);
    return threshold.Value() >= 2 || traceEnabled(3);
}

bool IsErrorEnabled() {
    static VarBinding<int> threshold("debug.Default", kDefaultThreshold);
    return threshold.Value() >= 1 || traceEnabled(2);
}

void TraceVerbose(const char* message) {
    (void)message;
}
void TraceWarning(const char* message) {
    (void)message;
}
void TraceError(const char* message) {
    (void)message;
}

void LogError(const char* message, const char* sourceFile, int32_t line) {
    LogLine(sourceFile, line, static_cast<int32_t>(LogLevel::Error), message);
    TraceError(message);
}

void LogFormatted(LogLevel level, const char* sourceFile, int32_t line, const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    if (std::vsnprintf(tMessage, sizeof tMessage, format, arguments) < 0) {
        tMessage[0] = '\0';
    }
    va_end(arguments);
    switch (level) {
        case LogLevel::Error:
            LogError(tMessage, sourceFile, line);
            break;
        case LogLevel::Warning:
            LogLine(sourceFile, line, static_cast<int32_t>(level), tMessage);
            TraceWarning(tMessage);
            break;
        case LogLevel::Verbose:
            LogLine(sourceFile, line, static_cast<int32_t>(level), tMessage);
            TraceVerbose(tMessage);
            break;
        default:
            LogLine(sourceFile, line, static_cast<int32_t>(level), tMessage);
            break;
    }
}

}  // namespace Kor
