#include "tools/orvane-convert/TumReader.h"

#include <array>

#include "tools/orvane-convert/Fields.h"

namespace OrvaneConvert {

bool parseTumLine(std::string_view line, PoseLine& pose, std::string& reason) {
    static constexpr std::array<const char*, 8> kNames = {"timestamp", "tx", "ty", "tz",
                                                          "qx",        "qy", "qz", "qw"};
    std::array<std::string_view, kNames.size()> fields;
    const std::size_t count = splitWords(line, fields);
    if (count != fields.size()) {
        reason =
            "expected 8 numbers (timestamp tx ty tz qx qy qz qw), found " + std::to_string(count);
        return false;
    }
    pose.stamp = DecimalTime::parse(fields[0]);
    if (!pose.stamp) {
        reason = "timestamp " + quotedField(fields[0]) + " is not a number";
        return false;
    }
    pose.stampText = fields[0];
    std::array<double, 7> v;
    if (!parseFiniteNumbers(std::span(fields).subspan(1), std::span(kNames).subspan(1), v.data(),
                            reason)) {
        return false;
    }
    pose.camera.position = {v[0], v[1], v[2]};
    return quaternionRotation(v[6], v[3], v[4], v[5], pose.camera.rotation, reason);
}

}  // namespace OrvaneConvert
