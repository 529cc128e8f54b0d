#include "tools/orvane-convert/KittiReader.h"

#include <array>

#include "tools/orvane-convert/Fields.h"

namespace OrvaneConvert {

bool parseKittiLine(std::string_view line, PoseLine& pose, std::string& reason) {
    static constexpr std::array<const char*, 12> kNames = {"r11", "r12", "r13", "tx",  "r21", "r22",
                                                           "r23", "ty",  "r31", "r32", "r33", "tz"};
    std::array<std::string_view, kNames.size()> fields;
    const std::size_t count = splitWords(line, fields);
    if (count != fields.size()) {
        reason = "expected 12 numbers (r11 r12 r13 tx r21 r22 r23 ty r31 r32 r33 tz), found " +
                 std::to_string(count);
        return false;
    }
    std::array<double, 12> v;
    if (!parseFiniteNumbers(fields, kNames, v.data(), reason)) {
        return false;
    }
    pose.stamp.reset();
    pose.stampText = {};
    pose.camera.rotation = {v[0], v[1], v[2], v[4], v[5], v[6], v[8], v[9], v[10]};
    pose.camera.position = {v[3], v[7], v[11]};
    return checkRotation(pose.camera.rotation, reason);
}

}  // namespace OrvaneConvert
