#pragma once
// The logging front end: level gates, the per-thread message buffer, the call-site macros and
// the checked condition QEL_CFF. Output goes through PlatformLib/LogOutput.h.

#include <cstdint>

#include "PlatformLib/LogOutput.h"

namespace Kor {

// "debug.Default" at least 4, 2 or 1 (each gate reads its own binding).
bool IsVerboseEnabled();
bool IsWarningEnabled();
bool IsErrorEnabled();

// Trace events; there is no event tracing on Linux, so they write nothing.
void TraceVerbose(const char* message);
void TraceWarning(const char* message);
void TraceError(const char* message);

// LogLine at Error and TraceError; consults no gate.
void LogError(const char* message, const char* sourceFile, int32_t line);

// Formats into the calling thread's 1024-byte buffer (cut at 1023 characters), then LogLine and
// the trace writer of the level. Call sites reach it through the QEL_LOG_* macros, after the gate.
void LogFormatted(LogLevel level, const char* sourceFile, int32_t line, const char* format, ...)
    QEL_PRINTF_FORMAT(4, 5);

}  // namespace Kor

// One line per call site; when the gate is false neither the message nor its arguments are
// evaluated. The format begins with "[Default] ".
#define QEL_LOG_AT(gate, level, ...)                                                      \
    do {                                                                                  \
        if (::Kor::gate()) {                                                              \
            ::Kor::LogFormatted(::Kor::LogLevel::level, __FILE__, __LINE__, __VA_ARGS__); \
        }                                                                                 \
    } while (0)
#define QEL_LOG_VERBOSE(...) QEL_LOG_AT(IsVerboseEnabled, Verbose, __VA_ARGS__)
#define QEL_LOG_WARNING(...) QEL_LOG_AT(IsWarningEnabled, Warning, __VA_ARGS__)
#define QEL_LOG_ERROR(...) QEL_LOG_AT(IsErrorEnabled, Error, __VA_ARGS__)

// Reports the condition as written and ends the process when it is false. Variadic so that a
// condition with commas in it (a template argument list) needs no extra parentheses.
#define QEL_CFF(...)                                                                             \
    do {                                                                                         \
        if (!(__VA_ARGS__)) {                                                                    \
            ::Kor::ReportFailure(__FILE__, __LINE__, "QelResult ERROR - CFF(" #__VA_ARGS__ ")"); \
            ::Kor::FailFast();                                                                   \
        }                                                                                        \
    } while (0)

#define QEL_FAILFAST()                                                                      \
    do {                                                                                    \
        ::Kor::ReportFailure(__FILE__, __LINE__,                                            \
                             "QelResult ERROR - CFF(\"Explicit QEL_FAILFAST.\" && false)"); \
        ::Kor::FailFast();                                                                  \
    } while (0)
