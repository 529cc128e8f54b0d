#include "PlatformLib/StderrLogSink.h"

#include <cstdarg>
#include <cstdio>

namespace Kor {

void StderrLogSink::Printf(const char* format, ...) {
    // One stdio call per line: the stream's own lock keeps lines of threads apart.
    va_list arguments;
    va_start(arguments, format);
    std::vfprintf(stderr, format, arguments);
    va_end(arguments);
}

void InstallStderrLogSink() {
    static LogSink* const sink = [] {
        auto* created = new StderrLogSink();
        Qel::RuntimeContext::LogSink = created;
        return created;
    }();
    (void)sink;
}

}  // namespace Kor
