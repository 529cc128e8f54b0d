// A script file: blocks, comment blocks and every built-in command but a real "exit".
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "fuzz/CommandFuzzing.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    OrvaneFuzz::setUpOnce();
    OrvaneFuzz::InputRegistry registry;
    std::istringstream script(std::string(reinterpret_cast<const char*>(data), size));
    Kor::ParseScript(script, "fuzz.cfg");
    return 0;
}
