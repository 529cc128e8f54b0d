#pragma once
// Reads of the parts of a spline file: the segment list and each segment's curve, in the
// stored order and sizes (little-endian doubles, row-major matrices). The failed-state rules
// are readValue's: once a read comes up short the stream stays failed.

#include "analysis/SplineTrajectory.h"
#include "serialize/InputStream.h"

#include <cstddef>

namespace Kor {

// Bytes of one stored segment: t0, t1 and the inverse duration, then the curve.
inline constexpr std::size_t kStoredSegmentSize = 1176;

// The rotation-vector control points (144 bytes), then R0 and the five matrices after it
// (6 x 72 bytes). Returns whether the stream is good afterwards.
bool readRotationBlock(serialize::InputStream& stream, SegmentCurve& curve);

// The position control points (144 bytes), the rotation block, then the six further
// matrices (6 x 72 bytes). Returns whether the stream is good afterwards.
bool readSegmentCurve(serialize::InputStream& stream, SegmentCurve& curve);

// Reads the 4-byte segment count and that many stored segments and hands them to
// setSegments. True exactly when every segment was read and setSegments accepted them. A
// short read leaves the stream failed and `trajectory` untouched; a rejection by setSegments
// leaves the stream good and `trajectory` untouched. Room is taken as segments arrive, never
// for more than the stream still holds, so a damaged count cannot cause a huge allocation.
bool readSplineSegments(serialize::InputStream& stream, SplineTrajectory& trajectory);

}  // namespace Kor
