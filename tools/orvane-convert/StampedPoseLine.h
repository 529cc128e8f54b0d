#pragma once
// The part TUM and EuRoC lines share once split into fields: a time stamp, the position and a
// quaternion, in an order of the format's own.

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "tools/orvane-convert/PoseLine.h"

namespace OrvaneConvert {

struct StampedLayout {
    std::array<const char*, 8> names;  // of the fields: the stamp, p_x, p_y, p_z, then q
    std::array<int, 4> wxyz;           // where the quaternion's w, x, y and z are (4 to 7)
    const char* stampRule;             // what a stamp must be, for the reason
};

// Reads fields[1..7] and takes `stamp`, the stamp read from fields[0] by the format's rule
// (none when fields[0] does not follow it).
bool readStampedPose(std::span<const std::string_view, 8> fields,
                     const std::optional<DecimalTime>& stamp, const StampedLayout& layout,
                     PoseLine& pose, std::string& reason);

}  // namespace OrvaneConvert
