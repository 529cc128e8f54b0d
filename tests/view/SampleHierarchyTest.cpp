// The hierarchy's promise, checked sample by sample: every drawn position of a run lies within
// its thickness of the chord between the run's ends; runs tile the samples level by level.
#include "view/SampleHierarchy.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>

namespace {

using namespace Kor;

double distanceFromChord(const Vec3f& p, const Vec3f& a, const Vec3f& b) {
    double ab[3], ap[3], length2 = 0, along = 0;
    for (int k = 0; k < 3; ++k) {
        ab[k] = static_cast<double>(b[k]) - a[k];
        ap[k] = static_cast<double>(p[k]) - a[k];
        length2 += ab[k] * ab[k];
        along += ap[k] * ab[k];
    }
    along = length2 > 0 ? std::clamp(along / length2, 0.0, 1.0) : 0.0;
    double d2 = 0;
    for (int k = 0; k < 3; ++k) {
        d2 += (ap[k] - along * ab[k]) * (ap[k] - along * ab[k]);
    }
    return std::sqrt(d2);
}

void expectPromiseKept(const std::string& name, const std::vector<Vec3>& positions) {
    std::vector<PoseSample> poses(positions.size());
    for (std::size_t i = 0; i < positions.size(); ++i) {
        poses[i].position = positions[i];
    }
    for (const TrajectoryPiece& piece : splitIntoPieces(poses)) {
        const SampleHierarchy h(piece);
        const std::size_t n = piece.positions.size();
        ASSERT_EQ(h.sampleCount(), n);
        ASSERT_GE(h.levelCount(), 1u);
        EXPECT_EQ(h.runCount(0),
                  (n + SampleHierarchy::kBlockSize - 1) / SampleHierarchy::kBlockSize);
        EXPECT_EQ(h.runCount(h.levelCount() - 1), 1u);
        for (std::size_t k = 0; k < h.levelCount(); ++k) {
            std::size_t next = 0;
            for (std::size_t i = 0; i < h.runCount(k); ++i) {
                const std::size_t first = h.firstSample(k, i), end = h.endSample(k, i);
                ASSERT_EQ(first, next) << name << " level " << k;
                next = end;
                const Vec3f &a = piece.positions[first], &b = piece.positions[end - 1];
                bool finite = true;
                for (std::size_t j = first; j < end; ++j) {
                    const double d = distanceFromChord(piece.positions[j], a, b);
                    finite = finite && std::isfinite(d);
                    if (std::isfinite(d)) {
                        ASSERT_LE(d, h.thickness(k, i)) << name << " level " << k << " run " << i;
                    }
                }
                if (!finite) {
                    EXPECT_EQ(h.thickness(k, i), std::numeric_limits<float>::infinity()) << name;
                }
                if (k > 0 && 2 * i + 1 < h.runCount(k - 1)) {
                    const std::size_t middle = h.firstSample(k - 1, 2 * i + 1);
                    // Bit for bit: a sample that is not a number stays one.
                    EXPECT_EQ(std::memcmp(&h.split(k, i).before, &piece.positions[middle - 1],
                                          sizeof(Vec3f)),
                              0)
                        << name;
                    EXPECT_EQ(
                        std::memcmp(&h.split(k, i).after, &piece.positions[middle], sizeof(Vec3f)),
                        0)
                        << name;
                }
            }
            ASSERT_EQ(next, n) << name << " level " << k;
        }
    }
}

TEST(SampleHierarchy, EveryRunStaysWithinItsThicknessOfItsChord) {
    std::mt19937_64 random(9);
    std::normal_distribution<double> normal;
    std::vector<Vec3> walk, helix, far, withBad;
    Vec3 p{0, 0, 0};
    for (int i = 0; i < 30001; ++i) {
        for (double& c : p) {
            c += normal(random);
        }
        walk.push_back(p);
        const double t = 0.001 * i;
        helix.push_back({std::cos(t), std::sin(t), 0.01 * t});
        far.push_back({6.4e6 + std::cos(t), -3.1e6 + std::sin(t), 1e3});  // float rounds here
        withBad.push_back(i % 997 == 3    ? Vec3{std::numeric_limits<double>::quiet_NaN(), 0, 0}
                          : i % 1999 == 5 ? Vec3{1e300, 0, 0}
                                          : helix.back());
    }
    expectPromiseKept("walk", walk);
    expectPromiseKept("helix", helix);
    expectPromiseKept("far from the origin", far);
    expectPromiseKept("with samples that are not finite", withBad);
    for (std::size_t n : {1, 2, 7, 8, 9, 17, 1000}) {
        expectPromiseKept("still, " + std::to_string(n), std::vector<Vec3>(n, Vec3{1, 2, 3}));
    }
}

TEST(SampleHierarchy, NoSamplesNoLevels) {
    const SampleHierarchy h(TrajectoryPiece{});
    EXPECT_EQ(h.sampleCount(), 0u);
    EXPECT_EQ(h.levelCount(), 0u);
}

}  // namespace
