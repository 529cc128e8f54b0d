// Settings text to numbers, against a text stream as the oracle.
#include <cstddef>
#include <cstdint>
#include <locale>
#include <sstream>
#include <string>

#include "PlatformLib/VarText.h"

namespace {

template <typename T>
T streamRead(const std::string& text) {
    std::istringstream stream(text);
    stream.imbue(std::locale::classic());
    T value{};
    return (stream >> value) ? value : T{};
}

}  // namespace

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
