#pragma once
// The log sink the program installs: each line to standard error, prefixes unpadded.

#include <cstdint>

#include "PlatformLib/LogOutput.h"

namespace Kor {

class StderrLogSink final : public LogSink {
public:
    void Printf(const char* format, ...) override QEL_PRINTF_FORMAT(2, 3);
    int32_t PrefixWidth(int32_t prefixLength) override { return prefixLength; }
};

// Installs a sink that lives as long as the process, once; later calls do nothing.
void InstallStderrLogSink();

}  // namespace Kor
