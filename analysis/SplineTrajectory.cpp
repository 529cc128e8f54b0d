#include "analysis/SplineTrajectory.h"

namespace Kor {

namespace {

bool segmentsAcceptable(const SplineSegment* candidates, std::uint32_t count) {
    for (std::uint32_t i = 0; i < count; ++i) {
        // Exact equality: a NaN at an inner boundary fails here.
        if (i + 1 < count && !(candidates[i].t1 == candidates[i + 1].t0)) {
            return false;
        }
        // Written so that a NaN fails too: a segment without a time span is contiguous with
        // nothing, at an outer end as much as at an inner boundary.
        if (!(candidates[i].t0 < candidates[i].t1)) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool setSegments(SplineTrajectory& trajectory, const SplineSegment* candidates,
                 std::uint32_t count) {
    if (!segmentsAcceptable(candidates, count)) {
        return false;
    }
    if (count == 0) {
        trajectory.segments.reset();
        trajectory.segmentCount = 0;
        return true;
    }
    if (count != trajectory.segmentCount || trajectory.segments == nullptr) {
        trajectory.segments = std::make_unique<SplineSegment[]>(count);
        trajectory.segmentCount = count;
    }
    for (std::uint32_t i = 0; i < count; ++i) {
        SplineSegment& segment = trajectory.segments[i];
        const SplineSegment& candidate = candidates[i];
        segment.t0 = candidate.t0;
        segment.t1 = candidate.t1;
        const double duration = candidate.t1 - candidate.t0;
        segment.inverseDuration = duration == 0.0 ? 0.0 : 1.0 / duration;
        segment.curve = candidate.curve;
    }
    return true;
}

}  // namespace Kor
