#pragma once
// The curve data of one spline segment: a quintic Bezier curve in position and one in
// rotation vector, applied on the world side of a base rotation.

#include "analysis/Types.h"

namespace Kor {

struct SegmentCurve {
    ControlPoints positionControlPoints{};  // body origin in world coordinates
    ControlPoints rotationControlPoints{};  // rotation vector r(u); R(u) = exp([r]x) * R0
    Mat3 baseRotation = kIdentity3;         // R0
    // Carried with the segment and copied with it, never evaluated: the five matrices stored
    // after R0 in the rotation block, then the six that follow the rotation block.
    std::array<Mat3, 5> rotationBlockMatrices{};
    std::array<Mat3, 6> furtherMatrices{};
};

}  // namespace Kor
