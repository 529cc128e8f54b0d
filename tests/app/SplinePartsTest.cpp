#include "app/SplineParts.h"

#include "serialize/IOStreamInputStream.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <sstream>
#include <string>

namespace {

using Kor::SplineTrajectory;
using Kor::serialize::IOStreamInputStream;
using Kor::readSplineSegments;

void putDouble(std::string& bytes, double value) {
    char raw[8];
    std::memcpy(raw, &value, 8);
    bytes.append(raw, 8);
}

void putCount(std::string& bytes, std::uint32_t count) {
    const char raw[4] = {static_cast<char>(count), static_cast<char>(count >> 8),
                         static_cast<char>(count >> 16), static_cast<char>(count >> 24)};
    bytes.append(raw, 4);
}

// One stored segment laid out by the file format's offset table: t0, t1, a stored inverse
// duration, then 144 doubles numbered from `tag`, so every block is recognisable.
std::string segmentBytes(double t0, double t1, double tag) {
    std::string bytes;
    putDouble(bytes, t0);
    putDouble(bytes, t1);
    putDouble(bytes, -99.0);  // replaced on installation
    for (int i = 0; i < 144; ++i) {
        putDouble(bytes, tag + i);
    }
    return bytes;
}

TEST(SplineParts, ReadsEveryBlockInStoredOrder) {
    std::string file;
    putCount(file, 2);
    file += segmentBytes(0.0, 0.5, 1000) + segmentBytes(0.5, 2.0, 2000) + "rest";
    ASSERT_EQ(file.size(), 4 + 2 * Kor::kStoredSegmentSize + 4);
    std::istringstream data(file);
    IOStreamInputStream stream(&data);
    SplineTrajectory trajectory;

    ASSERT_TRUE(readSplineSegments(stream, trajectory));
    EXPECT_TRUE(stream.good());
    EXPECT_EQ(stream.tell(), 4 + 2 * Kor::kStoredSegmentSize);
    ASSERT_EQ(trajectory.segmentCount, 2u);
    const Kor::SplineSegment& second = trajectory.segments[1];
    EXPECT_EQ(second.t0, 0.5);
    EXPECT_EQ(second.t1, 2.0);
    EXPECT_DOUBLE_EQ(second.inverseDuration, 1 / 1.5);
    // Offsets 24, 168, 312, 384 and 744 of the record: doubles 0, 18, 36, 45 and 90.
    EXPECT_EQ(second.curve.positionControlPoints[0], 2000);
    EXPECT_EQ(second.curve.positionControlPoints[17], 2017);
    EXPECT_EQ(second.curve.rotationControlPoints[0], 2018);
    EXPECT_EQ(second.curve.baseRotation[0], 2036);
    EXPECT_EQ(second.curve.baseRotation[8], 2044);
    EXPECT_EQ(second.curve.rotationBlockMatrices[0][0], 2045);
    EXPECT_EQ(second.curve.rotationBlockMatrices[4][8], 2089);
    EXPECT_EQ(second.curve.furtherMatrices[0][0], 2090);
    EXPECT_EQ(second.curve.furtherMatrices[5][8], 2143);
    EXPECT_EQ(trajectory.segments[0].curve.furtherMatrices[5][8], 1143);
}

TEST(SplineParts, NoSegments) {
    std::string file;
    putCount(file, 0);
    std::istringstream data(file);
    IOStreamInputStream stream(&data);
    SplineTrajectory trajectory;
    EXPECT_TRUE(readSplineSegments(stream, trajectory));
    EXPECT_TRUE(stream.good());
    EXPECT_EQ(trajectory.segmentCount, 0u);
}

// Cut anywhere inside the count or the records: failed, and nothing installed.
TEST(SplineParts, DataCutShortInstallsNothing) {
    std::string file;
    putCount(file, 2);
    file += segmentBytes(0.0, 1.0, 0) + segmentBytes(1.0, 2.0, 0);
    for (std::size_t length = 0; length < file.size(); length += 7) {
        std::istringstream data(file.substr(0, length));
        IOStreamInputStream stream(&data);
        SplineTrajectory trajectory;
        EXPECT_FALSE(readSplineSegments(stream, trajectory)) << length;
        EXPECT_FALSE(stream.good());
        EXPECT_EQ(trajectory.segmentCount, 0u);
        EXPECT_EQ(trajectory.segments, nullptr);
    }
}

// A count from a damaged file claiming billions of segments is a file cut short.
TEST(SplineParts, HugeCountFailsAsACutShortFile) {
    std::string file;
    putCount(file, UINT32_MAX);
    file += segmentBytes(0.0, 1.0, 0);
    std::istringstream data(file);
    IOStreamInputStream stream(&data);
    SplineTrajectory trajectory;
    EXPECT_FALSE(readSplineSegments(stream, trajectory));
    EXPECT_FALSE(stream.good());
    EXPECT_EQ(trajectory.segmentCount, 0u);
}

TEST(SplineParts, RejectedSegmentsLeaveTheStreamGood) {
    std::string file;
    putCount(file, 2);
    file += segmentBytes(0.0, 1.0, 0) + segmentBytes(1.5, 2.0, 0);  // a gap at 1.0 .. 1.5
    std::istringstream data(file);
    IOStreamInputStream stream(&data);
    SplineTrajectory trajectory;
    EXPECT_FALSE(readSplineSegments(stream, trajectory));
    EXPECT_TRUE(stream.good());
    EXPECT_EQ(trajectory.segmentCount, 0u);
}

}  // namespace
