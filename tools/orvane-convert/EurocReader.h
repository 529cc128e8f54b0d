#pragma once
// EuRoC ground-truth lines: comma-separated "timestamp, p_x, p_y, p_z, q_w, q_x, q_y, q_z",
// and perhaps more columns (velocities, biases), which are not read. The time stamp is whole
// nanoseconds; the position and the Hamilton quaternion (w first) are the body's, body to
// world. The quaternion is normalised.

#include "tools/orvane-convert/PoseLine.h"

namespace OrvaneConvert {

bool parseEurocLine(std::string_view line, PoseLine& pose, std::string& reason);

}  // namespace OrvaneConvert
