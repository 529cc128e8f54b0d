#include "analysis/SampleTrajectory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

#include "analysis/Matrix3.h"
#include "analysis/SegmentEvaluation.h"
#include "tests/analysis/MathTestSupport.h"

using namespace Kor;

namespace {

// Segments of unequal durations, each with its own curve.
SplineTrajectory splineWithBoundaries(const std::vector<double>& boundaries) {
    std::mt19937 engine(17);
    std::vector<SplineSegment> segments;
    for (std::size_t i = 0; i + 1 < boundaries.size(); ++i) {
        SplineSegment segment;
        segment.t0 = boundaries[i];
        segment.t1 = boundaries[i + 1];
        segment.curve.positionControlPoints = OrvaneTest::randomArray<18>(engine, 3.0);
        segment.curve.rotationControlPoints = OrvaneTest::randomArray<18>(engine, 0.8);
        segments.push_back(segment);
    }
    SplineTrajectory spline;
    EXPECT_TRUE(setSegments(spline, segments.data(), std::uint32_t(segments.size())));
    return spline;
}

std::vector<double> timesOf(const Trajectory& trajectory) {
    std::vector<double> times;
    for (const TrajectoryState& state : trajectory.states) {
        times.push_back(state.time);
    }
    return times;
}

}  // namespace

TEST(SampleTrajectory, StepsByRepeatedAdditionUpToAnInclusiveEnd) {
    SplineTrajectory spline = splineWithBoundaries({0, 1, 3});
    spline.intervals = {{0.0, 0.09}, {2.0, 2.09}, {2.0, 2.0}, {3.0, 2.9}, {0.06, 0.1}};
    const Trajectory trajectory = sampleTrajectory(spline);
    EXPECT_EQ(timesOf(trajectory),
              (std::vector<double>{0.0, 0.03, 0.06, 0.09, 2.0, 2.03, 2.0599999999999996,
                                   2.0899999999999994, 2.0, 0.06, 0.09}));
    ASSERT_EQ(trajectory.poses.size(), trajectory.states.size());
    for (std::size_t k = 0; k < trajectory.states.size(); ++k) {
        const TrajectoryState& state = trajectory.states[k];
        EXPECT_TRUE(state.hasVelocity && state.hasAcceleration);
        EXPECT_EQ(trajectory.poses[k].rotation, state.rotation);
        EXPECT_EQ(trajectory.poses[k].position, negate(matTVec(state.rotation, state.translation)));
    }
}

// Without the states the poses are the same samples, bit for bit.
TEST(SampleTrajectory, SkippingStatesKeepsThePoses) {
    SplineTrajectory spline = splineWithBoundaries({0, 1, 3});
    spline.intervals = {{-0.5, 3.5}, {1.0, 1.0}};
    const Trajectory full = sampleTrajectory(spline);
    const Trajectory posesOnly =
        sampleTrajectory(spline, kMaxTrajectorySamples, nullptr, States::Skip);
    EXPECT_TRUE(posesOnly.states.empty());
    ASSERT_EQ(posesOnly.poses.size(), full.poses.size());
    for (std::size_t k = 0; k < full.poses.size(); ++k) {
        EXPECT_EQ(posesOnly.poses[k].position, full.poses[k].position);
        EXPECT_EQ(posesOnly.poses[k].rotation, full.poses[k].rotation);
    }
}

TEST(SampleTrajectory, YieldsNothingWithoutIntervalsOrSegments) {
    SplineTrajectory spline = splineWithBoundaries({0, 1});
    EXPECT_TRUE(sampleTrajectory(spline).poses.empty());
    SplineTrajectory noSegments;
    noSegments.intervals = {{0.0, 1.0}};
    const Trajectory trajectory = sampleTrajectory(noSegments);
    EXPECT_TRUE(trajectory.poses.empty());
    EXPECT_TRUE(trajectory.states.empty());
}

// Each sample is its segment's evaluation at u = (t - t0)/(t1 - t0), with the twists turned into
// time derivatives. The segment is the last one starting at or before t (linear scan here);
// times outside all segments extrapolate the first or the last one.
TEST(SampleTrajectory, EvaluatesTheOwningSegmentAndScalesToTime) {
    for (const std::vector<double>& boundaries :
         {std::vector<double>{0, 1, 2}, std::vector<double>{0, 1, 3, 3.5, 4, 6.25, 7, 10}}) {
        SplineTrajectory spline = splineWithBoundaries(boundaries);
        std::vector<double> times = {-0.5, boundaries.back() + 2.5};
        for (double b : boundaries) {
            times.push_back(b);
            times.push_back(std::nextafter(b, -1.0));
            times.push_back(b + 0.1);
        }
        for (double t : times) {
            spline.intervals.push_back({t, t});
        }
        const Trajectory trajectory = sampleTrajectory(spline);
        ASSERT_EQ(trajectory.states.size(), times.size());

        for (std::size_t k = 0; k < times.size(); ++k) {
            const double t = times[k];
            std::uint32_t owner = 0;
            for (std::uint32_t i = 0; i < spline.segmentCount; ++i) {
                if (spline.segments[i].t0 <= t) {
                    owner = i;
                }
            }
            const SplineSegment& segment = spline.segments[owner];
            const double duration = segment.t1 - segment.t0;
            const SegmentEvaluation e = evaluateSegment(segment.curve, (t - segment.t0) / duration);
            const TrajectoryState& state = trajectory.states[k];
            EXPECT_EQ(state.time, t);
            EXPECT_TRUE(OrvaneTest::allNear(state.rotation, e.rotation, 1e-15)) << t;
            EXPECT_TRUE(OrvaneTest::allNear(state.translation, e.translation, 1e-14)) << t;
            for (int i = 0; i < 6; ++i) {
                EXPECT_NEAR(state.velocity[i] * duration, e.velocity[i],
                            1e-13 * std::fmax(1.0, std::fabs(e.velocity[i])))
                    << t;
                EXPECT_NEAR(state.acceleration[i] * duration * duration, e.acceleration[i],
                            1e-12 * std::fmax(1.0, std::fabs(e.acceleration[i])))
                    << t;
            }
        }
        // A segment start is owned by the segment that starts there, at u = 0.
        ASSERT_EQ(times[5], 1.0);
        EXPECT_EQ(trajectory.states[5].translation,
                  evaluateSegment(spline.segments[1].curve, 0.0).translation);
    }
}

// Bounds that are not finite, or so large that adding the step leaves them unchanged, cannot be
// walked: skipped whole and counted, never sampled into rows of NaN or a lone sample.
TEST(SampleTrajectory, SkipsIntervalsTheStepCannotWalk) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const ValidInterval unsampleable[] = {
        {-1e300, 1e300}, {-inf, inf},    {nan, 1.0},    {1.0, nan},     {0.0, inf}, {-inf, 0.0},
        {1e17, 2e17},    {1e300, 1e300}, {0.0, 0x1p49}, {-0x1p49, 0.0}, {nan, nan}, {inf, 0.0}};
    SplineTrajectory spline = splineWithBoundaries({0, 1});
    for (const ValidInterval& interval : unsampleable) {
        EXPECT_FALSE(isSampleable(interval)) << interval.begin << ", " << interval.end;
        spline.intervals = {{0.0, 0.06}, interval, {1.0, 1.0}};
        SkippedIntervals skipped;
        const Trajectory trajectory = sampleTrajectory(spline, kMaxTrajectorySamples, &skipped);
        EXPECT_EQ(timesOf(trajectory), (std::vector<double>{0.0, 0.03, 0.06, 1.0}));
        EXPECT_EQ(skipped.unsampleable, 1u);
        EXPECT_EQ(skipped.overLimit, 0u);
    }
    // At the edge: just below 2^48 the step still moves t; from -2^48 it moves t towards zero.
    for (const ValidInterval& interval :
         {ValidInterval{0x1p48 - 1, 0x1p48 - 0.5}, ValidInterval{-0x1p48, -0x1p48 + 0.1},
          ValidInterval{3.0, 2.0}, ValidInterval{-0.0, 0.0}}) {
        EXPECT_TRUE(isSampleable(interval)) << interval.begin << ", " << interval.end;
    }
}

// An interval of a damaged file such as [0, 1e12] would take 3e13 samples: it is skipped whole
// and counted, and the intervals around it are sampled as usual. The sequences never hold room
// for more than the limit.
TEST(SampleTrajectory, SkipsIntervalsBeyondTheSampleBudget) {
    SplineTrajectory spline = splineWithBoundaries({0, 1});
    spline.intervals = {{0.0, 0.3}, {0.0, 1e12}, {1.0, 1.3}, {0.5, 0.6}};
    SkippedIntervals skipped{99, 99};
    Trajectory trajectory = sampleTrajectory(spline, 1000, &skipped);
    EXPECT_EQ(skipped.overLimit, 1u);
    EXPECT_EQ(skipped.unsampleable, 0u);
    // 10 + 10 samples (the sums stop just short of the ends), then 4.
    ASSERT_EQ(trajectory.states.size(), 24u);
    EXPECT_EQ(trajectory.states[20].time, 0.5);

    // What no longer fits in what is left is skipped too; what fits exactly is taken whole.
    spline.intervals = {{0.0, 15.0}, {0.0, 15.0}, {0.0, 0.3}};
    for (const States states : {States::Keep, States::Skip}) {
        trajectory = sampleTrajectory(spline, 1000, &skipped, states);
        EXPECT_EQ(trajectory.poses.size(), 501u + 10u);
        EXPECT_EQ(skipped.overLimit, 1u);
        EXPECT_LE(trajectory.poses.capacity(), 1000u);
        EXPECT_LE(trajectory.states.capacity(), 1000u);
    }
    spline.intervals = {{0.0, 15.0}};
    EXPECT_EQ(sampleTrajectory(spline, 501, &skipped).poses.size(), 501u);
    EXPECT_EQ(skipped.overLimit, 0u);
    EXPECT_TRUE(sampleTrajectory(spline, 500, &skipped).poses.empty());
    EXPECT_EQ(skipped.overLimit, 1u);
}

// The bound holds at every magnitude of time, where rounding makes the steps longer or shorter
// than 0.03 (shortest near 1e13), and is within one of the real count for the times of
// recordings.
TEST(SampleTrajectory, SampleBoundHoldsAtEveryMagnitude) {
    SplineTrajectory spline = splineWithBoundaries({0, 1});
    for (double begin : {0.0, -50.0, -0.02, 1e3, 1e9, -0x1p30, 9e12, 1.2e13, 1.6e13, 1.5e14, 3e14,
                         6e14, -1.5e14, -0x1p48, 0x1p48 - 400}) {
        for (double span : {0.0, 0.03, 1.0, 30.0, 300.0}) {
            const ValidInterval interval{begin, begin + span};
            spline.intervals = {interval};
            const std::uint64_t actual = sampleTrajectory(spline, UINT64_MAX).states.size();
            const std::uint64_t bound = intervalSampleBound(interval);
            EXPECT_LE(actual, bound) << begin << " + " << span;
            EXPECT_LE(bound, (std::fabs(begin) <= 0x1p30 ? actual + 1 : 1.1 * actual + 130))
                << begin << " + " << span;
        }
    }
    EXPECT_EQ(intervalSampleBound({1.0, 0.5}), 0u);
    EXPECT_EQ(intervalSampleBound({std::nan(""), 1.0}), 0u);
    EXPECT_EQ(intervalSampleBound({0.0, 1e300}), UINT64_MAX);
}
