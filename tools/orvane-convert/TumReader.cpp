#include "tools/orvane-convert/TumReader.h"

#include "tools/orvane-convert/Fields.h"
#include "tools/orvane-convert/StampedPoseLine.h"

namespace OrvaneConvert {

bool parseTumLine(std::string_view line, PoseLine& pose, std::string& reason) {
    static constexpr StampedLayout kLayout = {
        {"timestamp", "tx", "ty", "tz", "qx", "qy", "qz", "qw"}, {7, 4, 5, 6}, "a number"};
    std::array<std::string_view, 8> fields;
    const std::size_t count = splitWords(line, fields);
    if (count != fields.size()) {
        reason =
            "expected 8 numbers (timestamp tx ty tz qx qy qz qw), found " + std::to_string(count);
        return false;
    }
    return readStampedPose(fields, DecimalTime::parse(fields[0]), kLayout, pose, reason);
}

}  // namespace OrvaneConvert
