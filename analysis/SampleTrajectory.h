#pragma once
// Turning a spline trajectory into poses and states.

#include "analysis/SplineTrajectory.h"
#include "analysis/Trajectory.h"

namespace Kor {

// The sampling step, seconds. Sample times are begin, begin + 0.03, (begin + 0.03) + 0.03, ...
// (added repeatedly, so rounding accumulates) while they do not exceed the interval's end.
inline constexpr double kSampleStep = 0.03;

// Samples every valid interval in stored order: one pose and one state per sample time, with
// time derivatives. The segment of a time is the last one starting at or before it (the first
// one for earlier times); its polynomials are extrapolated, not clamped. A trajectory without
// segments yields no samples.
Trajectory sampleTrajectory(const SplineTrajectory& spline);

}  // namespace Kor
