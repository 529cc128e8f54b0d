#pragma once
// Turning a spline trajectory into poses and states.

#include <cstdint>

#include "analysis/SplineTrajectory.h"
#include "analysis/Trajectory.h"

namespace Kor {

// The sampling step, seconds. Sample times are begin, begin + 0.03, (begin + 0.03) + 0.03, ...
// (added repeatedly, so rounding accumulates) while they do not exceed the interval's end.
inline constexpr double kSampleStep = 0.03;

// The most samples one spline trajectory is turned into: 2^24 samples, 5.8 days of trajectory
// and about 5 GB of poses and states. A valid interval of a damaged file, [0, 1e12] say, would
// otherwise ask for 3e13 samples and end the program by exhausting memory.
inline constexpr std::uint64_t kMaxTrajectorySamples = std::uint64_t{1} << 24;

// Whether the sampling steps can walk `interval`: both bounds finite, and neither so large that
// adding the step no longer changes it. Every time between two such bounds advances too. A
// reversed interval can be sampled (it yields nothing).
bool isSampleable(const ValidInterval& interval);

// An upper bound of the samples that `interval` yields: 0 when end < begin (or either is a
// NaN), 1 when the step no longer changes the begin time, the maximum for an infinite span.
// While both bounds are below 2^30 s in magnitude it exceeds the real count by at most one.
std::uint64_t intervalSampleBound(const ValidInterval& interval);

// The valid intervals that sampleTrajectory left out, by reason.
struct SkippedIntervals {
    std::uint64_t unsampleable = 0;  // isSampleable is false
    std::uint64_t overLimit = 0;     // more samples than were left of the limit
};

// Samples every valid interval in stored order: one pose and one state per sample time, with
// time derivatives. The segment of a time is the last one starting at or before it (the first
// one for earlier times); its polynomials are extrapolated, not clamped. A trajectory without
// segments yields no samples.
//
// Intervals that cannot be sampled, and those whose sample bound exceeds what is left of
// `maxSamples`, are skipped whole and counted in `*skipped` (when given); the others are
// sampled as usual. The sequences are allocated once, for the bounds of the intervals taken,
// so they never hold room for more than `maxSamples`. With States::Skip only the poses are
// built.
Trajectory sampleTrajectory(const SplineTrajectory& spline,
                            std::uint64_t maxSamples = kMaxTrajectorySamples,
                            SkippedIntervals* skipped = nullptr, States states = States::Keep);

}  // namespace Kor
