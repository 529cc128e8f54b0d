#include "analysis/SampleTrajectory.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "analysis/Matrix3.h"
#include "analysis/SegmentEvaluation.h"

namespace Kor {

namespace {

// The segment of time t: the last one whose t0 is at or before t, or the first one. Searched
// from the full range for every sample.
std::uint32_t findSegment(const SplineSegment* segments, std::uint32_t count, double t) {
    if (count <= 1) {
        return 0;
    }
    std::uint32_t lo = 0;
    std::uint32_t hi = count;
    while (lo + 1 < hi) {
        const std::uint32_t mid = lo + (hi - lo) / 2;
        if (t >= segments[mid].t0) {
            lo = mid;
        } else {
            hi = mid;
        }
    }
    return lo;
}

// Upper bound of the samples of all intervals, for one reservation up front. Capped so that an
// absurd interval grows the sequences as it goes instead of asking for everything at once.
std::size_t expectedSamples(const std::vector<ValidInterval>& intervals) {
    constexpr double kReserveCap = 1 << 20;
    double total = 0.0;
    for (const ValidInterval& interval : intervals) {
        if (interval.end >= interval.begin) {
            total += std::floor((interval.end - interval.begin) / kSampleStep) + 2.0;
        }
        if (!(total < kReserveCap)) {
            return static_cast<std::size_t>(kReserveCap);
        }
    }
    return static_cast<std::size_t>(total);
}

}  // namespace

std::uint64_t intervalSampleBound(const ValidInterval& interval) {
    if (!(interval.end >= interval.begin)) {
        return 0;
    }
    if (interval.begin + kSampleStep == interval.begin) {
        return 1;  // the sampling loop stops after its first sample
    }
    // Rounded to the spacing of doubles near t, a step is never shorter than 0.976 of 0.03
    // (15 units of 2^-9 near 10^13), and a step that crosses into the next power of two loses
    // at most one sample; there are fewer than 128 such crossings below 2^49, where the step
    // stops changing t.
    constexpr double kShortStepAllowance = 1.03;
    constexpr double kCrossings = 128;
    const double bound =
        (interval.end - interval.begin) / kSampleStep * kShortStepAllowance + kCrossings;
    constexpr double kLimit = 9.2e18;  // below 2^63
    return bound < kLimit ? static_cast<std::uint64_t>(bound) : UINT64_MAX;
}

Trajectory sampleTrajectory(const SplineTrajectory& spline, std::uint64_t maxSamples,
                            std::uint64_t* skippedIntervals, States states) {
    Trajectory out;
    if (skippedIntervals != nullptr) {
        *skippedIntervals = 0;
    }
    const std::uint32_t count = spline.segmentCount;
    const SplineSegment* segments = spline.segments.get();
    if (count == 0 || segments == nullptr) {
        return out;
    }
    const std::size_t expected = expectedSamples(spline.intervals);
    out.poses.reserve(std::min<std::uint64_t>(expected, maxSamples));
    const bool keepStates = states == States::Keep;
    if (keepStates) {
        out.states.reserve(std::min<std::uint64_t>(expected, maxSamples));
    }

    for (const ValidInterval& interval : spline.intervals) {
        if (intervalSampleBound(interval) > maxSamples - out.poses.size()) {
            if (skippedIntervals != nullptr) {
                ++*skippedIntervals;
            }
            continue;
        }
        for (double t = interval.begin; interval.end >= t;) {
            const SplineSegment& segment = segments[findSegment(segments, count, t)];
            const double s = segment.inverseDuration;
            const double u = (t - segment.t0) * s;
            const SegmentEvaluation e = evaluateSegment(segment.curve, u);

            if (keepStates) {
                const double s_sq = s * s;
                Twist velocity, acceleration;
                for (int k = 0; k < 6; ++k) {
                    velocity[k] = e.velocity[k] * s;
                    acceleration[k] = e.acceleration[k] * s_sq;
                }
                // Each record is written once, not zeroed first and then filled.
                out.states.push_back({t, e.rotation, e.translation, velocity, acceleration,
                                      /*hasVelocity=*/true, /*hasAcceleration=*/true});
            }
            out.poses.push_back({negate(matTVec(e.rotation, e.translation)), e.rotation});

            const double next = t + kSampleStep;
            if (next == t) {
                // The step no longer changes t at this magnitude: every further sample would
                // repeat this one forever.
                break;
            }
            t = next;
        }
    }
    return out;
}

}  // namespace Kor
