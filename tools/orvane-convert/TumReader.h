#pragma once
// TUM lines: "timestamp tx ty tz qx qy qz qw" separated by blanks. The time is in seconds, the
// position and the Hamilton quaternion (x, y, z, then w) say where the camera is and how it is
// turned, camera to world. The quaternion is normalised.

#include "tools/orvane-convert/PoseLine.h"

namespace OrvaneConvert {

bool parseTumLine(std::string_view line, PoseLine& pose, std::string& reason);

}  // namespace OrvaneConvert
