#pragma once
// The rigid-transform logarithm (SE(3)).

#include "analysis/Types.h"

namespace Kor {

// The twist (rho, omega) of the transform (R, t): omega = so3Log(R) and rho = J^-1(omega) t,
// with J^-1 = I - 0.5 [omega]x + D [omega]x^2.
Twist se3Log(const Mat3& R, const Vec3& t);

}  // namespace Kor
