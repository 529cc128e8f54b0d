#include "app/LoadSplineTrajectory.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "serialize/IOStreamInputStream.h"
#include "tests/support/TrajectoryFiles.h"

namespace {

using Kor::SplineTrajectory;
using OrvaneTest::SplineSegmentData;

constexpr std::size_t kSegmentBytes = 1176;

bool loadBytes(SplineTrajectory& model, const std::string& bytes) {
    std::istringstream data(bytes);
    Kor::serialize::IOStreamInputStream stream(&data);
    return Kor::loadSplineTrajectory(model, stream);
}

std::vector<SplineSegmentData> twoSegments() {
    SplineSegmentData first, second;
    first.t0 = 0.5;
    first.t1 = 1.0;
    second.t0 = 1.0;
    second.t1 = 3.0;
    second.position[17] = 42;
    return {first, second};
}

const std::vector<std::pair<double, double>> kIntervals = {{0.5, 1.0}, {1.5, 1.5}, {2.0, 2.9}};

// Cut at every length, a file fails or succeeds by what its last complete part is: segments,
// interval count, intervals, flag and offset.
TEST(LoadSplineTrajectory, CutAnywhereFailsByTheTableOfParts) {
    const std::string file = OrvaneTest::splineFile(twoSegments(), kIntervals, true, {4, 5, 6});
    const std::size_t segmentsEnd = 4 + 2 * kSegmentBytes;
    const std::size_t intervalsStart = segmentsEnd + 4;
    const std::size_t intervalsEnd = intervalsStart + 16 * kIntervals.size();
    ASSERT_EQ(file.size(), intervalsEnd + 25);
    for (std::size_t length = 0; length <= file.size(); ++length) {
        SCOPED_TRACE(length);
        SplineTrajectory model;
        const bool loaded = loadBytes(model, file.substr(0, length));
        EXPECT_EQ(loaded, length >= intervalsEnd);
        EXPECT_EQ(model.segmentCount, length >= segmentsEnd ? 2u : 0u);
        const std::size_t stored =
            length < intervalsStart ? 0 : std::min<std::size_t>((length - intervalsStart) / 16, 3);
        ASSERT_EQ(model.intervals.size(), stored);
        // The count printed for a list cut short is the count the file gives.
        EXPECT_EQ(Kor::validIntervalCount(model), length >= intervalsStart ? 3u : 0u);
        for (std::size_t k = 0; k < stored; ++k) {
            EXPECT_EQ(model.intervals[k].begin, kIntervals[k].first);
            EXPECT_EQ(model.intervals[k].end, kIntervals[k].second);
        }
        const bool complete = length == file.size();
        EXPECT_EQ(model.flag, complete);
        EXPECT_EQ(model.offset, complete ? (Kor::Vec3{4, 5, 6}) : Kor::Vec3{});
    }
    SplineTrajectory model;
    ASSERT_TRUE(loadBytes(model, file));
    EXPECT_EQ(model.segments[1].curve.positionControlPoints[17], 42);
    EXPECT_EQ(model.segments[1].inverseDuration, 0.5);
}

TEST(LoadSplineTrajectory, TheSmallestFileHasNothingInIt) {
    SplineTrajectory model;
    EXPECT_TRUE(loadBytes(model, OrvaneTest::splineFile({}, {}, false, {0, 0, 0})));
    EXPECT_EQ(model.segmentCount, 0u);
    EXPECT_EQ(Kor::validIntervalCount(model), 0u);
}

TEST(LoadSplineTrajectory, RejectedSegmentsReadNoIntervals) {
    std::vector<SplineSegmentData> segments = twoSegments();
    segments[1].t0 = 1.0000001;
    SplineTrajectory model;
    EXPECT_FALSE(loadBytes(model, OrvaneTest::splineFile(segments, kIntervals)));
    EXPECT_EQ(model.segmentCount, 0u);
    EXPECT_EQ(Kor::validIntervalCount(model), 0u);
}

// Damaged counts: nothing is allocated for entries the data does not hold.
TEST(LoadSplineTrajectory, ImpossibleCountsFailWithoutAllocatingForThem) {
    const std::string segments = OrvaneTest::splineFile(twoSegments(), {}).substr(0, 4 + 2 * 1176);
    struct Case {
        std::uint32_t count;
        std::uint64_t expected;
    };
    for (const Case c :
         {Case{1u << 30, 0}, Case{UINT32_MAX, 0}, Case{(1u << 30) - 1, (1u << 30) - 1}}) {
        std::string file = segments;
        OrvaneTest::appendCount(file, c.count);
        file += std::string(40, '\0');  // two entries and a half
        SplineTrajectory model;
        EXPECT_FALSE(loadBytes(model, file)) << c.count;
        EXPECT_EQ(model.segmentCount, 2u);
        EXPECT_EQ(Kor::validIntervalCount(model), c.expected) << c.count;
        EXPECT_LE(model.intervals.capacity(), 2u);
    }
    std::string hugeSegments;
    OrvaneTest::appendCount(hugeSegments, UINT32_MAX);
    hugeSegments += std::string(3000, '\0');
    SplineTrajectory model;
    EXPECT_FALSE(loadBytes(model, hugeSegments));
    EXPECT_EQ(model.segmentCount, 0u);
}

}  // namespace
