#include "tools/orvane-record/PngFrameWriter.h"

#include <cstdio>

namespace OrvaneRecord {

std::string PngFrameName(uint64_t number) {
    char name[40];
    std::snprintf(name, sizeof name, "frame_%06llu.png", static_cast<unsigned long long>(number));
    return name;
}

}  // namespace OrvaneRecord
