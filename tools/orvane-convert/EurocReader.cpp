#include "tools/orvane-convert/EurocReader.h"

#include "tools/orvane-convert/Fields.h"
#include "tools/orvane-convert/StampedPoseLine.h"

namespace OrvaneConvert {

bool parseEurocLine(std::string_view line, PoseLine& pose, std::string& reason) {
    static constexpr StampedLayout kLayout = {
        {"timestamp", "p_x", "p_y", "p_z", "q_w", "q_x", "q_y", "q_z"},
        {4, 5, 6, 7},
        "a whole number of nanoseconds (1 to 19 digits)"};
    std::array<std::string_view, 8> fields;
    const std::size_t count = splitCommas(line, fields);
    if (count < fields.size()) {
        reason =
            "expected at least 8 comma-separated columns (timestamp, p_x, p_y, p_z, q_w, q_x, "
            "q_y, q_z), found " +
            std::to_string(count);
        return false;
    }
    return readStampedPose(fields, DecimalTime::parseNanoseconds(fields[0]), kLayout, pose, reason);
}

}  // namespace OrvaneConvert
