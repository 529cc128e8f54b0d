#pragma once
// Pose and its u-derivatives on one spline segment.

#include "analysis/SegmentCurve.h"
#include "analysis/Types.h"

namespace Kor {

struct RotationEvaluation {
    Mat3 rotation = kIdentity3;  // R = exp([r]x) * R0
    Vec3 omega{};                // dR/du = [omega]x * R
    Vec3 alpha{};                // d omega/du
};

struct SegmentEvaluation {
    Mat3 rotation = kIdentity3;  // R
    Vec3 translation{};          // t = -R * p
    Twist velocity{};            // (v, omega): dT/du * T^-1
    Twist acceleration{};        // d velocity/du
};

// R, omega, alpha of the rotation curve at u; r(u) acts on the world side of R0.
RotationEvaluation evaluateRotation(const ControlPoints& rotationControlPoints,
                                    const Mat3& baseRotation, double u);

// The world-to-body transform of the segment at u and its twists, all with respect to u.
// Allocates nothing.
SegmentEvaluation evaluateSegment(const SegmentCurve& curve, double u);

}  // namespace Kor
