#include "app/SplineParts.h"

#include "serialize/ReadValue.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace Kor {

using serialize::readValue;

// The blocks are read straight into the model's arrays, so they must have the stored sizes.
static_assert(sizeof(ControlPoints) == 144);
static_assert(sizeof(Mat3) == 72);
static_assert(sizeof(SegmentCurve::rotationBlockMatrices) == 5 * 72);
static_assert(sizeof(SegmentCurve::furtherMatrices) == 6 * 72);

bool readRotationBlock(serialize::InputStream& stream, SegmentCurve& curve) {
    readValue(stream, curve.rotationControlPoints);
    readValue(stream, curve.baseRotation);
    return readValue(stream, curve.rotationBlockMatrices);
}

bool readSegmentCurve(serialize::InputStream& stream, SegmentCurve& curve) {
    readValue(stream, curve.positionControlPoints);
    readRotationBlock(stream, curve);
    return readValue(stream, curve.furtherMatrices);
}

bool readSplineSegments(serialize::InputStream& stream, SplineTrajectory& trajectory) {
    std::uint32_t count = 0;
    if (!readValue(stream, count)) {
        return false;
    }
    std::vector<SplineSegment> segments;
    // A pipe cannot tell its size: start small and grow with what arrives.
    constexpr std::uint64_t kUnknownStart = 64;
    const std::uint64_t bytesLeft = stream.remaining();
    segments.reserve(static_cast<std::size_t>(std::min<std::uint64_t>(
        count,
        bytesLeft == serialize::InputStream::kUnknownSize ? kUnknownStart : bytesLeft / kStoredSegmentSize)));
    for (std::uint32_t i = 0; i < count; ++i) {
        SplineSegment segment;
        readValue(stream, segment.t0);
        readValue(stream, segment.t1);
        readValue(stream, segment.inverseDuration);
        if (!readSegmentCurve(stream, segment.curve)) {
            return false;
        }
        segments.push_back(segment);
    }
    return setSegments(trajectory, segments.data(), count);
}

}  // namespace Kor
