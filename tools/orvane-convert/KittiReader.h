#pragma once
// KITTI odometry lines: 12 numbers separated by blanks, the 3x4 matrix [C | p] row by row,
// camera to world. The lines carry no time; the conversion gives them one from their order.
// C must be a rotation to within kRotationTolerance and is made orthonormal.

#include "tools/orvane-convert/PoseLine.h"

namespace OrvaneConvert {

bool parseKittiLine(std::string_view line, PoseLine& pose, std::string& reason);

}  // namespace OrvaneConvert
