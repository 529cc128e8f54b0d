// A console line: tokenized, run, and completed.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz/CommandFuzzing.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    OrvaneFuzz::setUpOnce();
    OrvaneFuzz::InputRegistry registry;
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    Kor::Tokenize(line);
    Kor::ExecuteLine(line, static_cast<int32_t>(size % 3));
    Kor::Complete(line.substr(0, 8));
    return 0;
}
