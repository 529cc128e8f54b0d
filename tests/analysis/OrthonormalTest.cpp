#include "analysis/Orthonormal.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "analysis/Matrix3.h"
#include "analysis/Rotation.h"
#include "tests/analysis/MathTestSupport.h"

using namespace Kor;
using OrvaneTest::allNear;

// With R = I + e in entry (0, 1), entry (0, 1) of R R^T - I is exactly e; the others are e^2
// or zero, far below the tolerance.
TEST(IsOrthonormal, AcceptsAnEntryErrorOfExactlyTheToleranceAndNoMore) {
    const double e = kOrthonormalTolerance;
    EXPECT_TRUE(isOrthonormal({1, e, 0, 0, 1, 0, 0, 0, 1}));
    EXPECT_TRUE(isOrthonormal({1, 0, 0, 0, 1, 0, -e, 0, 1}));
    const double above = std::nextafter(e, 1.0);
    EXPECT_FALSE(isOrthonormal({1, above, 0, 0, 1, 0, 0, 0, 1}));
    EXPECT_FALSE(isOrthonormal({1, 0, 0, 0, 1, 0, -above, 0, 1}));
    EXPECT_FALSE(isOrthonormal({1, 0, 0, 0, 1, 0, 0, 0, 1 + 1e-8}));  // 2e-8 on the diagonal
    EXPECT_TRUE(isOrthonormal(OrvaneTest::rotationAbout({1, 2, 3}, 2.0L)));
}

TEST(IsOrthonormal, RejectsNonFiniteMatrices) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_FALSE(isOrthonormal({1, 0, 0, 0, nan, 0, 0, 0, 1}));
    EXPECT_FALSE(isOrthonormal({1, 0, 0, 0, 1, 0, 0, 0, INFINITY}));
}

TEST(Orthonormalise, RepairsPerturbedRotationsKeepingTheFirstRowDirection) {
    std::mt19937 engine(3);
    for (int trial = 0; trial < 20; ++trial) {
        const Mat3 exact =
            OrvaneTest::rotationAbout(OrvaneTest::randomArray<3>(engine, 1.0), 0.3L * trial);
        const Mat3 noise = OrvaneTest::randomArray<9>(engine, 1e-3);
        Mat3 R;
        for (int k = 0; k < 9; ++k) {
            R[k] = exact[k] + noise[k];
        }
        const Mat3 before = R;
        orthonormalise(R);
        EXPECT_TRUE(allNear(matMulT(R, R), kIdentity3, 1e-15));
        EXPECT_TRUE(allNear(R, exact, 3e-3));
        // Row 0 keeps its direction; row 2 completes a right-handed frame.
        EXPECT_NEAR(R[0] * before[1] - R[1] * before[0], 0.0, 1e-15);
        EXPECT_NEAR(R[0] * before[2] - R[2] * before[0], 0.0, 1e-15);
        EXPECT_TRUE(allNear(cross({R[0], R[1], R[2]}, {R[3], R[4], R[5]}), {R[6], R[7], R[8]}, 0));
    }
    Mat3 viewer = so3Exp({0.35, 0, 0}, rotationCoefficients(0.35 * 0.35).A,
                         rotationCoefficients(0.35 * 0.35).B);
    orthonormalise(viewer);
    EXPECT_TRUE(allNear(viewer,
                        {1, 0, 0, 0, 0.9393727128473789, -0.34289780745545134, 0,
                         0.34289780745545134, 0.9393727128473789},
                        3e-16));
}
