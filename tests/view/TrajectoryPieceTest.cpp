// Trajectories cut into pieces that share their ends, with float positions about each
// piece's own origin.
#include "view/TrajectoryPiece.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

using namespace Kor;

std::vector<PoseSample> line(std::size_t n, double offset) {
    std::vector<PoseSample> poses(n);
    for (std::size_t i = 0; i < n; ++i) {
        poses[i].position = {offset + static_cast<double>(i), -2.0 * static_cast<double>(i), 7.0};
    }
    return poses;
}

TEST(TrajectoryPiece, PiecesShareTheirEndsAndTakeEverySample) {
    struct Case {
        std::size_t samples, most, pieces;
    };
    for (const Case c : {Case{0, 10, 0}, Case{1, 10, 1}, Case{10, 10, 1}, Case{11, 10, 2},
                         Case{19, 10, 2}, Case{20, 10, 3}, Case{5, 0, 4}, Case{5, 1, 4}}) {
        const auto poses = line(c.samples, 0.0);
        const auto pieces = splitIntoPieces(poses, c.most);
        ASSERT_EQ(pieces.size(), c.pieces) << c.samples << " in " << c.most;
        std::size_t next = 0;  // the sample each piece starts at
        for (std::size_t k = 0; k < pieces.size(); ++k) {
            const TrajectoryPiece& piece = pieces[k];
            ASSERT_LE(piece.positions.size(), std::max<std::size_t>(c.most, 2));
            ASSERT_GE(piece.positions.size(), 1u);
            for (std::size_t j = 0; j < piece.positions.size(); ++j) {
                const Vec3& p = poses[next + j].position;
                for (int a = 0; a < 3; ++a) {
                    EXPECT_EQ(piece.positions[j][a], static_cast<float>(p[a] - piece.origin[a]));
                }
            }
            next += piece.positions.size() - 1;
        }
        EXPECT_EQ(next + (c.samples > 0 ? 1 : 0), c.samples);
    }
}

// The origin is a sample of the piece, so that float keeps what it can of positions far from
// the world origin; samples that are not finite are passed over.
TEST(TrajectoryPiece, TheOriginIsTheFirstFiniteSample) {
    auto poses = line(101, 6.0e6);
    poses[0].position[0] = std::numeric_limits<double>::infinity();
    poses[1].position[1] = std::numeric_limits<double>::quiet_NaN();
    const auto pieces = splitIntoPieces(poses);
    ASSERT_EQ(pieces.size(), 1u);
    EXPECT_EQ(pieces[0].origin, (Vec3{6.0e6 + 2.0, -4.0, 7.0}));
    EXPECT_EQ(pieces[0].positions[100], (Vec3f{98.0f, -196.0f, 0.0f}));
    EXPECT_EQ(splitIntoPieces(std::vector<PoseSample>(3, poses[0]))[0].origin, (Vec3{0, 0, 0}));
}

}  // namespace
