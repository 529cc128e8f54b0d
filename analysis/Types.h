#pragma once
// The fixed-size value types of the trajectory mathematics. Everything is a plain array of
// doubles on the stack so that records can be copied, compared and laid out without surprises.
//
//   Vec3          a 3-vector (position, rotation vector, linear or angular rate)
//   Mat3          a 3x3 matrix, row-major: element (row i, column j) is entry 3*i + j
//   Twist         six doubles, linear part first (0..2), angular part second (3..5)
//   ControlPoints the six quintic Bezier control points of x, then of y, then of z

#include <array>

namespace Kor {

using Vec3 = std::array<double, 3>;
using Mat3 = std::array<double, 9>;
using Twist = std::array<double, 6>;
using ControlPoints = std::array<double, 18>;

inline constexpr Mat3 kIdentity3 = {1.0, 0.0, 0.0, 0.0, 1.0, 0.0, 0.0, 0.0, 1.0};

}  // namespace Kor
