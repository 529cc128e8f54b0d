#include "analysis/SampleTrajectory.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

#include "PlatformLib/LargeArray.h"
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

}  // namespace

bool isSampleable(const ValidInterval& interval) {
    // NaN and infinities fail the first tests; a magnitude where the step rounds away (beyond
    // about 2^48) the last ones.
    return std::isfinite(interval.begin) && std::isfinite(interval.end) &&
           interval.begin + kSampleStep != interval.begin &&
           interval.end + kSampleStep != interval.end;
}

std::uint64_t intervalSampleBound(const ValidInterval& interval) {
    if (!(interval.end >= interval.begin)) {
        return 0;
    }
    if (interval.begin + kSampleStep == interval.begin) {
        return 1;  // the sampling loop stops after its first sample
    }
    constexpr double kLimit = 9.2e18;  // below 2^63
    const double span = interval.end - interval.begin;
    // Rounded to the spacing of doubles near t, a step is never shorter than 0.976 of 0.03
    // (15 units of 2^-9 near 10^13), and a step that crosses into the next power of two loses
    // at most one sample; there are fewer than 128 such crossings below 2^49, where the step
    // stops changing t.
    constexpr double kShortStepAllowance = 1.03;
    constexpr double kCrossings = 128;
    double bound = span / kSampleStep * kShortStepAllowance + kCrossings;
    // Tighter where the bounds are small. Every step that does not pass the end lands in
    // [begin, end], so it is the step rounded to a spacing of doubles no coarser than the one at
    // the larger bound: no shorter than kSampleStep - spacing / 2. Each factor of 2^-50 keeps
    // the rounding of this arithmetic on the safe side.
    const double largest = std::max(std::fabs(interval.begin), std::fabs(interval.end));
    const double spacing = std::nextafter(largest, INFINITY) - largest;
    const double shortestStep = (kSampleStep - 0.5 * spacing) * (1 - 0x1p-50);
    if (shortestStep > 0) {
        bound = std::min(bound, std::floor(span / shortestStep * (1 + 0x1p-50)) + 1);
    }
    return bound < kLimit ? static_cast<std::uint64_t>(bound) : UINT64_MAX;
}

Trajectory sampleTrajectory(const SplineTrajectory& spline, std::uint64_t maxSamples,
                            SkippedIntervals* skipped, States states) {
    Trajectory out;
    if (skipped != nullptr) {
        *skipped = {};
    }
    const std::uint32_t count = spline.segmentCount;
    const SplineSegment* segments = spline.segments.get();
    if (count == 0 || segments == nullptr) {
        return out;
    }
    // Which intervals are sampled is settled before the first sample, so that the sequences
    // are allocated once and never grow past the limit by doubling.
    SkippedIntervals skips;
    std::vector<bool> taken(spline.intervals.size());
    std::uint64_t reserved = 0;
    for (std::size_t i = 0; i < spline.intervals.size(); ++i) {
        const ValidInterval& interval = spline.intervals[i];
        if (!isSampleable(interval)) {
            ++skips.unsampleable;
            continue;
        }
        const std::uint64_t bound = intervalSampleBound(interval);
        if (bound > maxSamples - reserved) {
            ++skips.overLimit;
            continue;
        }
        reserved += bound;
        taken[i] = true;
    }
    if (skipped != nullptr) {
        *skipped = skips;
    }
    const bool keepStates = states == States::Keep;
    reserveLarge(out.poses, reserved);
    if (keepStates) {
        reserveLarge(out.states, reserved);
    }

    for (std::size_t i = 0; i < spline.intervals.size(); ++i) {
        if (!taken[i]) {
            continue;
        }
        // Both bounds are sampleable, so every step in between advances t.
        const ValidInterval& interval = spline.intervals[i];
        for (double t = interval.begin; interval.end >= t; t += kSampleStep) {
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
        }
    }
    return out;
}

}  // namespace Kor
