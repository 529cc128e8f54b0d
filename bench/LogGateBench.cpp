// A disabled Verbose message at its call site: "baseline" formats the message into a buffer
// and hands it on, leaving the decision to the output (the straightforward logger);
// "gated" is QEL_LOG_VERBOSE, which checks the gate before anything is formatted.
#include <benchmark/benchmark.h>

#include <cstdio>

#include "PlatformLib/InMemoryVarsManager.h"
#include "RuntimeLib/Logging.h"
#include "bench/support/RatioMain.h"

namespace {

constexpr int kMessages = 1000;

void setUp() {
    static const bool done = [] {
        Kor::InstallInMemoryVarsManager();
        return Kor::IsVerboseEnabled();
    }();
    (void)done;
}

void disabledVerbose_baseline(benchmark::State& state) {
    setUp();
    char buffer[1024];
    for (auto _ : state) {
        for (int i = 0; i < kMessages; ++i) {
            std::snprintf(buffer, sizeof buffer,
                          "[Default] ! Cannot init window internals for %s %d", "main", i);
            Kor::LogLine(__FILE__, __LINE__, 4, buffer);
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kMessages);
}

void disabledVerbose_gated(benchmark::State& state) {
    setUp();
    for (auto _ : state) {
        for (int i = 0; i < kMessages; ++i) {
            QEL_LOG_VERBOSE("[Default] ! Cannot init window internals for %s %d", "main", i);
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kMessages);
}

}  // namespace

BENCHMARK(disabledVerbose_baseline)->Name("disabledVerbose/baseline");
BENCHMARK(disabledVerbose_gated)->Name("disabledVerbose/gated");
