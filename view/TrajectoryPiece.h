#pragma once
// A trajectory as the view holds it: pieces of consecutive samples, each with its positions as
// floats relative to its own origin (as GL draws them), so that float keeps the precision the
// doubles had for trajectories far from the world origin, and no piece outgrows what GL
// counts and indexes.

#include <array>
#include <cstddef>
#include <span>
#include <vector>

#include "analysis/Trajectory.h"

namespace Kor {

using Vec3f = std::array<float, 3>;

struct TrajectoryPiece {
    Vec3 origin{};                 // its first finite sample
    std::vector<Vec3f> positions;  // sample position - origin
};

// Samples per piece: as many as a frame may want to index, and few enough that float keeps
// the precision a piece needs.
inline constexpr std::size_t kPieceSamples = std::size_t{1} << 20;

// Cuts `samples` into pieces of at most `maxSamples` (at least 2), each starting at the last
// sample of the one before, so that their line strips join into one. None for no samples.
std::vector<TrajectoryPiece> splitIntoPieces(std::span<const PoseSample> samples,
                                             std::size_t maxSamples = kPieceSamples);

}  // namespace Kor
