#include "view/TrajectoryPiece.h"

#include <algorithm>
#include <cmath>

namespace Kor {

namespace {

// Samples that are not finite take no part: they would move the origin to infinity.
Vec3 boxCentre(std::span<const PoseSample> samples) {
    Vec3 low{}, high{};
    bool any = false;
    for (const PoseSample& sample : samples) {
        const Vec3& p = sample.position;
        if (!std::isfinite(p[0]) || !std::isfinite(p[1]) || !std::isfinite(p[2])) {
            continue;
        }
        if (!any) {
            low = high = p;
            any = true;
        }
        for (int a = 0; a < 3; ++a) {
            low[a] = std::min(low[a], p[a]);
            high[a] = std::max(high[a], p[a]);
        }
    }
    // Halves first: the sum of two large finite numbers may overflow.
    return {0.5 * low[0] + 0.5 * high[0], 0.5 * low[1] + 0.5 * high[1],
            0.5 * low[2] + 0.5 * high[2]};
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
        piece.origin = boxCentre(run);
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
