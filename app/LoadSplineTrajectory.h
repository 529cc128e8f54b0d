#pragma once
// Loading a spline file (".dat"): the segments, the valid intervals, a flag and an offset.

#include <string>

#include "analysis/SplineTrajectory.h"
#include "serialize/InputStream.h"

namespace Kor {

// Fills `model` from the file at `path`; only a regular file is opened. Returns false when the
// file cannot be opened or read, when its segments are cut short or rejected by setSegments
// (nothing installed, no intervals read), or when its interval count is 2^30 or more or its
// interval list is cut short (segments installed). A list cut short keeps the entries read
// and counts the rest in `unreadIntervals`, so the valid-interval count is the stored one.
// A missing flag or offset leaves them false and zero, and the load still succeeds.
bool loadSplineTrajectory(SplineTrajectory& model, const std::string& path);

// The same from any byte source, read from its current position.
bool loadSplineTrajectory(SplineTrajectory& model, serialize::InputStream& stream);

}  // namespace Kor
