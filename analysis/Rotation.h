#pragma once
// The rotation exponential and logarithm (SO(3)) and the coefficient functions they share.
//
// For a rotation vector w with theta = |w|, exp([w]x) = I + A [w]x + B [w]x^2 and the left
// Jacobian is J = I + B [w]x + C [w]x^2, where
//   A = sin(theta)/theta,  B = (1 - cos(theta))/theta^2,  C = (theta - sin(theta))/theta^3.
// They are functions of theta_sq = theta^2, so callers compute theta_sq once and hand it on.

#include "analysis/Types.h"

namespace Kor {

struct RotationCoefficients {
    double A = 1.0;
    double B = 0.5;
    double C = 1.0 / 6.0;
};

// Borders of the three regimes of rotationCoefficients: the series below the first, rational
// approximations below the second, sin and cos from there on.
inline constexpr double kCoefficientSeriesBorder = 0.00012015;
inline constexpr double kCoefficientDirectBorder = 0.25;

// A, B, C of theta_sq. Exact at 0 (A = 1, B = 0.5, C = 1/6).
RotationCoefficients rotationCoefficients(double theta_sq);

// I + a [w]x + b [w]x^2. With a = A, b = B of |w|^2 it is the rotation about w by |w| radians;
// with a = B, b = C it is the left Jacobian.
inline Mat3 so3Exp(const Vec3& w, double a, double b) {
    const double w0 = w[0], w1 = w[1], w2 = w[2];
    const double b01 = b * w0 * w1, b02 = b * w0 * w2, b12 = b * w1 * w2;
    const double a0 = a * w0, a1 = a * w1, a2 = a * w2;
    return {1.0 - b * (w1 * w1 + w2 * w2),
            b01 - a2,
            b02 + a1,  //
            b01 + a2,
            1.0 - b * (w0 * w0 + w2 * w2),
            b12 - a0,  //
            b02 - a1,
            b12 + a0,
            1.0 - b * (w0 * w0 + w1 * w1)};
}

struct RotationLog {
    Vec3 omega{};                       // rotation vector, |omega| in [0, pi]
    RotationCoefficients coefficients;  // A, B, C of the angle found
};

// The rotation vector of R. The cosine is clamped to [-1, 1]; near the identity a series
// replaces the arccosine, and near pi the axis is read from the symmetric part of R.
RotationLog so3Log(const Mat3& R);

}  // namespace Kor
