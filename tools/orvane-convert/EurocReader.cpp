#include "tools/orvane-convert/EurocReader.h"

#include <array>

#include "tools/orvane-convert/Fields.h"

namespace OrvaneConvert {

bool parseEurocLine(std::string_view line, PoseLine& pose, std::string& reason) {
    static constexpr std::array<const char*, 8> kNames = {"timestamp", "p_x", "p_y", "p_z",
                                                          "q_w",       "q_x", "q_y", "q_z"};
    std::array<std::string_view, kNames.size()> fields;
    const std::size_t count = splitCommas(line, fields);
    if (count < fields.size()) {
        reason =
            "expected at least 8 comma-separated columns (timestamp, p_x, p_y, p_z, q_w, "
            "q_x, q_y, q_z), found " +
            std::to_string(count);
        return false;
    }
    pose.stamp = DecimalTime::parseNanoseconds(fields[0]);
    if (!pose.stamp) {
        reason = "timestamp " + quotedField(fields[0]) +
                 " is not a whole number of nanoseconds (1 to 19 digits)";
        return false;
    }
    pose.stampText = fields[0];
    std::array<double, 7> v;
    if (!parseFiniteNumbers(std::span(fields).subspan(1), std::span(kNames).subspan(1), v.data(),
                            reason)) {
        return false;
    }
    pose.camera.position = {v[0], v[1], v[2]};
    return quaternionRotation(v[3], v[4], v[5], v[6], pose.camera.rotation, reason);
}

}  // namespace OrvaneConvert
