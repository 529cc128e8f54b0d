// Settings text to numbers, against a text stream as the oracle.
#include <cstddef>
#include <cstdint>
#include <string>

#include "PlatformLib/VarText.h"
#include "tests/support/StreamReadOracle.h"

using OrvaneTest::streamRead;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    if (Kor::ParseVarInt(text) != streamRead<int>(text)) {
        __builtin_trap();
    }
    if (Kor::ParseVarFloat(text) != streamRead<float>(text)) {
        __builtin_trap();
    }
    return 0;
}
