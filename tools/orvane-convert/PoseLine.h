#pragma once
// What one line of a camera-trajectory file holds once read, whatever its format.

#include <optional>
#include <string>
#include <string_view>

#include "tools/orvane-convert/DecimalTime.h"
#include "tools/orvane-convert/PoseConversion.h"

namespace OrvaneConvert {

struct PoseLine {
    CameraPose camera;
    std::optional<DecimalTime> stamp;  // none where the format has no times (KITTI)
    std::string_view stampText;        // the stamp as written, for messages
};

// Reads a line that is neither blank nor a comment into `pose`. False, with a reason that
// names the column at fault, when the line is not a pose of the format.
using PoseLineParser = bool (*)(std::string_view line, PoseLine& pose, std::string& reason);

}  // namespace OrvaneConvert
