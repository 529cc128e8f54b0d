#include "analysis/SplineTrajectory.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

using namespace Kor;

namespace {

std::vector<SplineSegment> segmentsAt(std::vector<std::pair<double, double>> times) {
    std::vector<SplineSegment> out;
    for (auto [t0, t1] : times) {
        SplineSegment segment;
        segment.t0 = t0;
        segment.t1 = t1;
        segment.inverseDuration = 123.0;  // what a file may hold; must be replaced
        segment.curve.positionControlPoints[0] = t0;
        out.push_back(segment);
    }
    return out;
}

bool install(SplineTrajectory& spline, const std::vector<SplineSegment>& segments) {
    return setSegments(spline, segments.data(), static_cast<std::uint32_t>(segments.size()));
}

}  // namespace

TEST(SetSegments, InstallsContiguousSegmentsWithTheirInverseDurations) {
    SplineTrajectory spline;
    ASSERT_TRUE(install(spline, segmentsAt({{0, 0.5}, {0.5, 2}, {2, 2.25}})));
    ASSERT_EQ(spline.segmentCount, 3u);
    EXPECT_EQ(spline.segments[0].inverseDuration, 2.0);
    EXPECT_EQ(spline.segments[1].inverseDuration, 1.0 / 1.5);
    EXPECT_EQ(spline.segments[2].inverseDuration, 4.0);
    EXPECT_EQ(spline.segments[1].curve.positionControlPoints[0], 0.5);

    // An infinite duration has the inverse 0.
    ASSERT_TRUE(install(spline, segmentsAt({{-INFINITY, 1}})));
    EXPECT_EQ(spline.segments[0].inverseDuration, 0.0);
}

TEST(SetSegments, RejectsGapsEmptyOrReversedSegmentsAndInnerNaN) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    SplineTrajectory spline;
    ASSERT_TRUE(install(spline, segmentsAt({{0, 1}, {1, 2}})));
    const SplineSegment* installed = spline.segments.get();

    // A NaN time is contiguous with nothing, at an outer end as much as at an inner boundary.
    const std::vector<std::vector<std::pair<double, double>>> rejected = {
        {{0, 1}, {1.0000001, 2}},
        {{1, 1}},
        {{2, 1}},
        {{0, 1}, {1, 1}},
        {{0, nan}, {nan, 1}},
        {{0, 1}, {1, 2}, {2.5, 3}},
        {{nan, 1}, {1, 2}},
        {{0, 1}, {1, nan}},
        {{nan, nan}},
        {{nan, 1}}};
    for (const auto& times : rejected) {
        EXPECT_FALSE(install(spline, segmentsAt(times))) << times.size();
        EXPECT_EQ(spline.segmentCount, 2u);
        EXPECT_EQ(spline.segments.get(), installed);
        EXPECT_EQ(spline.segments[1].t1, 2.0);
    }
}

TEST(SetSegments, ReplacesTheArrayOnlyWhenTheCountChanges) {
    SplineTrajectory spline;
    ASSERT_TRUE(install(spline, segmentsAt({{0, 1}, {1, 2}})));
    const SplineSegment* first = spline.segments.get();
    ASSERT_TRUE(install(spline, segmentsAt({{5, 6}, {6, 8}})));
    EXPECT_EQ(spline.segments.get(), first);
    EXPECT_EQ(spline.segments[1].inverseDuration, 0.5);
    ASSERT_TRUE(install(spline, segmentsAt({{5, 6}})));
    EXPECT_EQ(spline.segmentCount, 1u);
    ASSERT_TRUE(setSegments(spline, nullptr, 0));
    EXPECT_EQ(spline.segmentCount, 0u);
    EXPECT_EQ(spline.segments, nullptr);
}
