#pragma once
// Quintic Bezier curves in three axes.

#include "analysis/Types.h"

namespace Kor {

struct BezierEvaluation {
    Vec3 value{};
    Vec3 first{};   // d/du
    Vec3 second{};  // d^2/du^2
};

// Value and u-derivatives of the three quintic curves of `points` (six per axis, axis-major) at
// u, in Bernstein form. u is not clamped: outside [0, 1] the polynomials extrapolate.
BezierEvaluation evaluateBezier(const ControlPoints& points, double u);

}  // namespace Kor
