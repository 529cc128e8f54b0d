#pragma once
// The piecewise-curve form of a trajectory (the content of a ".dat" file) and the installation
// of its segments.

#include <cstdint>
#include <memory>
#include <vector>

#include "analysis/SegmentCurve.h"
#include "analysis/Types.h"

namespace Kor {

// A time span to sample, seconds. Taken as stored: never checked against the segments.
struct ValidInterval {
    double begin = 0.0;
    double end = 0.0;
};

struct SplineSegment {
    double t0 = 0.0;               // start time, seconds
    double t1 = 0.0;               // end time, seconds
    double inverseDuration = 0.0;  // 1/(t1 - t0), or 0 when t1 - t0 is 0; set by setSegments
    SegmentCurve curve;
};

// `segments` holds exactly `segmentCount` entries (null when the count is 0); change both only
// through setSegments.
struct SplineTrajectory {
    std::uint32_t segmentCount = 0;
    std::unique_ptr<SplineSegment[]> segments;
    std::vector<ValidInterval> intervals;
    // Entries of a list cut short that the file does not hold: counted, never stored, so a
    // damaged count cannot make the list larger than the file, and never sampled.
    std::uint32_t unreadIntervals = 0;
    bool flag = false;  // read from the file, used by nothing
    Vec3 offset{};      // read from the file, used by nothing
};

// The number of valid intervals the trajectory has: the stored ones and the unread ones.
inline std::uint64_t validIntervalCount(const SplineTrajectory& trajectory) {
    return trajectory.intervals.size() + trajectory.unreadIntervals;
}

// Checks `count` candidate segments and installs a copy of them in `trajectory`: every inner
// boundary must match exactly (t1 of one == t0 of the next) and every segment must have
// t0 < t1, so a NaN time anywhere fails. The inverse durations are recomputed, whatever the
// candidates held. The array is reallocated only when the count changes. Returns false,
// leaving the trajectory untouched, on the first failing segment. A count of 0 passes and
// leaves no segments.
bool setSegments(SplineTrajectory& trajectory, const SplineSegment* candidates,
                 std::uint32_t count);

}  // namespace Kor
