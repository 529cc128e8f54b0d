#pragma once
// What a benchmark binary linked with RatioMain.cpp can ask of its run.

#include <cstdint>

namespace OrvaneBench {

// True under --smoke (the ctest run): benchmarks should use benchSize() for their inputs.
bool smokeRun();

// The input size to use: `full` normally, at most 1000 in a smoke run.
int64_t benchSize(int64_t full);

}  // namespace OrvaneBench
