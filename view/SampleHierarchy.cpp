#include "view/SampleHierarchy.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace Kor {

namespace {

using Vec3d = std::array<double, 3>;

Vec3d widened(const Vec3f& p) {
    return {p[0], p[1], p[2]};
}

// Squared distance of p from the segment [a, b]; NaN when anything is not finite.
double squaredDistanceFromSegment(const Vec3d& p, const Vec3d& a, const Vec3d& b) {
    const Vec3d ab{b[0] - a[0], b[1] - a[1], b[2] - a[2]};
    const Vec3d ap{p[0] - a[0], p[1] - a[1], p[2] - a[2]};
    const double length2 = ab[0] * ab[0] + ab[1] * ab[1] + ab[2] * ab[2];
    double along = length2 > 0.0 ? (ap[0] * ab[0] + ap[1] * ab[1] + ap[2] * ab[2]) / length2 : 0.0;
    along = std::clamp(along, 0.0, 1.0);  // keeps a NaN
    const Vec3d off{ap[0] - along * ab[0], ap[1] - along * ab[1], ap[2] - along * ab[2]};
    const double d2 = off[0] * off[0] + off[1] * off[1] + off[2] * off[2];
    return std::isfinite(d2) && std::isfinite(length2) ? d2
                                                       : std::numeric_limits<double>::quiet_NaN();
}

double distanceFromSegment(const Vec3d& p, const Vec3d& a, const Vec3d& b) {
    return std::sqrt(squaredDistanceFromSegment(p, a, b));
}

// Rounded up to float, and widened by what float arithmetic on coordinates of the size of the
// chord's ends may be off by: one part in 10^6 of the largest covers it.
float roundedOut(double thickness, const Vec3d& a, const Vec3d& b) {
    constexpr float kInfinity = std::numeric_limits<float>::infinity();
    if (!(thickness <= std::numeric_limits<float>::max())) {  // NaN too
        return kInfinity;
    }
    double largest = 0.0;
    for (int axis = 0; axis < 3; ++axis) {
        largest = std::max({largest, std::fabs(a[axis]), std::fabs(b[axis])});
    }
    thickness += 1e-6 * largest;
    auto rounded = static_cast<float>(thickness);
    if (static_cast<double>(rounded) < thickness) {
        rounded = std::nextafter(rounded, kInfinity);
    }
    return rounded;
}

}  // namespace

SampleHierarchy::SampleHierarchy(const TrajectoryPiece& piece)
    : mSampleCount(piece.positions.size()) {
    if (mSampleCount == 0) {
        return;
    }
    auto at = [&](std::size_t j) { return widened(piece.positions[j]); };
    std::size_t count = (mSampleCount + kBlockSize - 1) / kBlockSize;
    mThickness.reserve(2 * count + 64);
    mSplits.reserve(count + 64);
    mLevelStarts.push_back(0);
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t first = i * kBlockSize;
        const std::size_t last = std::min(first + kBlockSize, mSampleCount) - 1;
        const Vec3d a = at(first), b = at(last);
        double thickness2 = 0.0;
        for (std::size_t j = first + 1; j < last; ++j) {
            const double d2 = squaredDistanceFromSegment(at(j), a, b);
            thickness2 = d2 > thickness2 || std::isnan(d2) ? d2 : thickness2;  // a NaN stays
        }
        if (!std::isfinite(a[0] + a[1] + a[2] + b[0] + b[1] + b[2])) {
            thickness2 = std::numeric_limits<double>::quiet_NaN();
        }
        mThickness.push_back(roundedOut(std::sqrt(thickness2), a, b));
    }
    mLevelStarts.push_back(mThickness.size());
    for (std::size_t k = 1; count > 1; ++k) {
        const std::size_t below = mLevelStarts[k - 1];
        const std::size_t next = (count + 1) / 2;
        for (std::size_t i = 0; i < next; ++i) {
            const Vec3d a = at(firstSample(k, i)), b = at(endSample(k, i) - 1);
            // A part's samples lie within its thickness of its chord, and its chord within the
            // farther of its ends of the whole run's chord.
            double thickness = 0.0;
            for (std::size_t part = 2 * i; part < std::min(2 * i + 2, count); ++part) {
                const double ends =
                    std::max(distanceFromSegment(at(firstSample(k - 1, part)), a, b),
                             distanceFromSegment(at(endSample(k - 1, part) - 1), a, b));
                const double d = static_cast<double>(mThickness[below + part]) + ends;
                thickness = d > thickness || std::isnan(d) ? d : thickness;
            }
            mThickness.push_back(roundedOut(thickness, a, b));
            Split split{};
            if (2 * i + 1 < count) {
                const std::size_t middle = firstSample(k - 1, 2 * i + 1);
                split = {piece.positions[middle - 1], piece.positions[middle]};
            }
            mSplits.push_back(split);
        }
        mLevelStarts.push_back(mThickness.size());
        count = next;
    }
}

}  // namespace Kor
