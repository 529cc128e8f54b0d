// A font file for the glyph table generator: read, whatever its tables claim.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "tools/PcfFont.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string error;
    OrvaneTools::ReadPcfFont(std::string_view(reinterpret_cast<const char*>(data), size), 0, 255,
                             error);
    return 0;
}
