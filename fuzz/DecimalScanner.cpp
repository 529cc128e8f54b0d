// Differential fuzz target: DecimalScanner against `std::istream >> double` on any bytes.
// The first byte picks the chunk size, so that numbers straddle chunk boundaries anywhere.
#include "serialize/DecimalScanner.h"
#include "tests/support/ScanOracle.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::size_t chunk =
        data[0] < 0xF0 ? 1 + data[0] % 32 : Kor::serialize::DecimalScanner::kDefaultChunkSize;
    const std::string_view input(reinterpret_cast<const char*>(data + 1), size - 1);
    const OrvaneTest::ScanTrace expected = OrvaneTest::streamTrace(input);
    const OrvaneTest::ScanTrace actual = OrvaneTest::scannerTrace(input, chunk);
    if (!(actual == expected)) {
        std::fprintf(stderr, "chunk %zu\nstream:\n%s\nscanner:\n%s\n", chunk,
                     OrvaneTest::describe(expected).c_str(), OrvaneTest::describe(actual).c_str());
        std::abort();
    }
    return 0;
}
