#include "view/TrajectoryPiece.h"

#include <algorithm>
#include <cmath>

namespace Kor {

namespace {

// Every position of the piece then lies within the piece's extent of its origin, which costs
// float at most one bit against the middle of the piece, without a pass over it of its own.
// Samples that are not finite would move the origin to infinity.
Vec3 firstFinite(std::span<const PoseSample> samples) {
    for (const PoseSample& sample : samples) {
        const Vec3& p = sample.position;
        if (std::isfinite(p[0]) && std::isfinite(p[1]) && std::isfinite(p[2])) {
            return p;
        }
    }
    return {};
}

}  // namespace

std::vector<TrajectoryPiece> splitIntoPieces(std::span<const PoseSample> samples,
                                             std::size_t maxSamples) {
    maxSamples = std::max<std::size_t>(maxSamples, 2);
    std::vector<TrajectoryPiece> pieces;
    std::size_t first = 0;
    while (first < samples.size()) {
        const std::size_t count = std::min(maxSamples, samples.size() - first);
        const auto run = samples.subspan(first, count);
        TrajectoryPiece& piece = pieces.emplace_back();
        piece.origin = firstFinite(run);
        piece.positions.resize(count);
        for (std::size_t j = 0; j < count; ++j) {
            const Vec3& p = run[j].position;
            piece.positions[j] = {static_cast<float>(p[0] - piece.origin[0]),
                                  static_cast<float>(p[1] - piece.origin[1]),
                                  static_cast<float>(p[2] - piece.origin[2])};
        }
        if (first + count == samples.size()) {
            break;
        }
        first += count - 1;
    }
    return pieces;
}

}  // namespace Kor
