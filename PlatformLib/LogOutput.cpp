#include "PlatformLib/LogOutput.h"

#include <cstdio>
#include <cstring>

#include "PlatformLib/Process.h"
#include "PlatformLib/Vars.h"

namespace Qel::RuntimeContext {
Kor::LogSink* LogSink = nullptr;
}  // namespace Qel::RuntimeContext

namespace Kor {

LogSink::~LogSink() = default;

namespace {

constexpr size_t kPrefixSize = 256;
constexpr size_t kReportSize = 256;

const char* tagOf(int32_t level) {
    switch (level) {
        case static_cast<int32_t>(LogLevel::Error):
            return "*ERR*";
        case static_cast<int32_t>(LogLevel::Warning):
            return "*WRN*";
        case static_cast<int32_t>(LogLevel::Info):
            return "*INF*";
        default:
            return "     ";
    }
}

const char* fileNameOf(const char* sourceFile) {
    if (sourceFile == nullptr) {
        return "(null)";
    }
    const char* name = sourceFile;
    for (const char* p = sourceFile; *p != '\0'; ++p) {
        if (*p == '/' || *p == '\\') {
            name = p + 1;
        }
    }
    return name;
}

// Characters in the prefix buffer; a cut prefix counts as full.
int32_t prefixLength(int written) {
    if (written < 0) {
        return 0;
    }
    return written >= static_cast<int>(kPrefixSize) ? static_cast<int32_t>(kPrefixSize - 1)
                                                    : written;
}

}  // namespace

void LogLine(const char* sourceFile, int32_t line, int32_t level, const char* message) {
    LogSink* sink = Qel::RuntimeContext::LogSink;
    if (sink == nullptr) {
        return;
    }
    static VarBinding<int> showDebug("showDebug", 0);
    static VarBinding<int> logLevel("logLevel", 4);
    const int show = showDebug.Value();
    if (show < 1 || level > logLevel.Value()) {
        return;
    }
    const char* fileName = fileNameOf(sourceFile);
    if (level == 0) {
        return;
    }
    const char* tag = tagOf(level);

    char prefix[kPrefixSize];
    prefix[0] = '\0';
    int written = 0;
    switch (show) {
        case 2:
            written = std::snprintf(prefix, sizeof prefix, "%s %s ", tag, fileName);
            break;
        case 3:
            written = std::snprintf(prefix, sizeof prefix, "%s %s:%d ", tag, fileName, line);
            break;
        case 4:
            written = std::snprintf(prefix, sizeof prefix, "[%5u] %s %s:%d ", CurrentThreadId(),
                                    tag, fileName, line);
            break;
        case 5:
            written = std::snprintf(prefix, sizeof prefix, "[%5u %.3f] %s %s:%d ",
                                    CurrentThreadId(), ElapsedSeconds(), tag, fileName, line);
            break;
        case 6:
            // Without a task scheduler every thread is unscheduled.
            written = std::snprintf(prefix, sizeof prefix, "[-unscheduled-] %s %s:%d ", tag,
                                    fileName, line);
            break;
        case 7:
            written = std::snprintf(prefix, sizeof prefix, "[-unscheduled- %.3f] %s %s:%d ",
                                    ElapsedSeconds(), tag, fileName, line);
            break;
        default:
            break;
    }
    if (written < 0) {
        prefix[0] = '\0';
    }
    const int32_t width = sink->PrefixWidth(prefixLength(written));
    sink->Printf("%-*s%s\n", width, prefix, message != nullptr ? message : "(null)");
}

void ReportFailure(const char* sourceFile, int32_t line, const char* message) {
    // Every condition check carries result code 0.
    const int32_t code = 0;
    if (message == nullptr) {
        message = "(null)";
    }
    char systemText[kReportSize];
    size_t length = SystemErrorText(code, systemText, sizeof systemText);
    if (length >= 1 && (systemText[length - 1] == '\n' || systemText[length - 1] == '\r' ||
                        systemText[length - 1] == ' ')) {
        systemText[--length] = '\0';
    }
    // A report longer than the buffer is cut, NUL-terminated.
    char report[kReportSize];
    const unsigned long shownCode = static_cast<uint32_t>(code);
    const int written =
        length >= 1
            ? std::snprintf(report, sizeof report, "%s. HRESULT: 0x%08lX (%s)", message, shownCode,
                            systemText)
            : std::snprintf(report, sizeof report, "%s. HRESULT: 0x%08lX.", message, shownCode);
    if (written < 0) {
        report[0] = '\0';
    }
    LogLine(sourceFile, line, static_cast<int32_t>(LogLevel::Error), report);

    static VarBinding<int> toStdout("qelresult_log_failures_to_stdout", 0);
    if (toStdout.Value() != 0) {
        std::printf("%s (%s:%d)\n", report, sourceFile != nullptr ? sourceFile : "(null)",
                    static_cast<int>(line));
        std::fflush(stdout);
    }
}

void FailFast() {
    if (IsDebuggerAttached()) {
        BreakIntoDebugger();
    }
    AbortProcess();
}

int64_t CounterToNanoseconds(int64_t counter, int64_t frequency) {
    constexpr int64_t kNanosecondsPerSecond = 1000000000;
    if (frequency <= 0) {
        return 0;
    }
    return (counter / frequency) * kNanosecondsPerSecond +
           ((counter % frequency) * kNanosecondsPerSecond) / frequency;
}

double ElapsedSeconds() {
    return static_cast<double>(CounterToNanoseconds(MonotonicCounter(), MonotonicFrequency())) /
           1e9;
}

}  // namespace Kor
