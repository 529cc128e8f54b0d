#pragma once
// The text output of the log and the report of a failed check: the part of logging that the
// settings access needs, below the gates and macros of RuntimeLib/Logging.h.

#include <cstdint>

#include "PlatformLib/PrintfFormat.h"

namespace Kor {

enum class LogLevel : int32_t { Error = 1, Warning = 2, Info = 3, Verbose = 4 };

// Receives the text lines; must accept calls from several threads.
class LogSink {
public:
    virtual ~LogSink();
    virtual void Printf(const char* format, ...) QEL_PRINTF_FORMAT(2, 3) = 0;
    // The column width to which a prefix of that length is left-justified.
    virtual int32_t PrefixWidth(int32_t prefixLength) = 0;
};

}  // namespace Kor

namespace Qel::RuntimeContext {
// Empty unless the program installs a sink: no text output then.
extern Kor::LogSink* LogSink;
}  // namespace Qel::RuntimeContext

namespace Kor {

// One line to the sink, filtered by "showDebug" and "logLevel", with the prefix "showDebug"
// selects. sourceFile is the caller's __FILE__; only its file name is shown.
void LogLine(const char* sourceFile, int32_t line, int32_t level, const char* message);

// Logs the failed check with the system text of its result code, and writes it to standard
// output as well when "qelresult_log_failures_to_stdout" is set. Returns; FailFast follows.
void ReportFailure(const char* sourceFile, int32_t line, const char* message);

// Ends the process at once, after stopping in a debugger when one is attached.
[[noreturn]] void FailFast();

// The monotonic clock in seconds.
double ElapsedSeconds();

// counter / frequency in nanoseconds, split so that the 64-bit product cannot overflow.
int64_t CounterToNanoseconds(int64_t counter, int64_t frequency);

}  // namespace Kor
