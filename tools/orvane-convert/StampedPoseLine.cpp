#include "tools/orvane-convert/StampedPoseLine.h"

#include "tools/orvane-convert/Fields.h"

namespace OrvaneConvert {

bool readStampedPose(std::span<const std::string_view, 8> fields,
                     const std::optional<DecimalTime>& stamp, const StampedLayout& layout,
                     PoseLine& pose, std::string& reason) {
    if (!stamp) {
        reason = "timestamp " + quotedField(fields[0]) + " is not " + layout.stampRule;
        return false;
    }
    pose.stamp = stamp;
    pose.stampText = fields[0];
    std::array<double, 8> v;
    if (!parseFiniteNumbers(fields.subspan(1), std::span(layout.names).subspan(1), &v[1], reason)) {
        return false;
    }
    pose.camera.position = {v[1], v[2], v[3]};
    const auto [w, x, y, z] = layout.wxyz;
    return quaternionRotation(v[w], v[x], v[y], v[z], pose.camera.rotation, reason);
}

}  // namespace OrvaneConvert
