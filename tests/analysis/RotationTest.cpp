#include "analysis/Rotation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "analysis/Matrix3.h"
#include "analysis/Orthonormal.h"
#include "tests/analysis/MathTestSupport.h"

using namespace Kor;
using OrvaneTest::allNear;

namespace {

// A, B, C as their power series in theta^2, summed in long double: valid in every regime.
RotationCoefficients seriesOracle(double x) {
    long double A = 0, B = 0, C = 0, term = 1;  // term = (-x)^k
    long double factorial = 1;                  // (2k + 1)!
    for (int k = 0; k < 40; ++k) {
        A += term / factorial;
        B += term / (factorial * (2 * k + 2));
        C += term / (factorial * (2 * k + 2) * (2 * k + 3));
        term *= -(long double)x;
        factorial *= (2.0L * k + 2) * (2.0L * k + 3);
    }
    return {double(A), double(B), double(C)};
}

}  // namespace

TEST(RotationCoefficients, ExactAtZeroAndAccurateInEveryRegime) {
    const RotationCoefficients zero = rotationCoefficients(0.0);
    EXPECT_EQ(zero.A, 1.0);
    EXPECT_EQ(zero.B, 0.5);
    EXPECT_EQ(zero.C, 1.0 / 6.0);

    const double borders[] = {kCoefficientSeriesBorder, kCoefficientDirectBorder};
    std::vector<double> xs = {1e-300, 1e-12, 1e-6, 3e-5, 0.001, 0.01, 0.1, 0.2, 0.5, 1, 4, 9.8};
    for (double border : borders) {
        xs.push_back(border);
        xs.push_back(std::nextafter(border, 0.0));
    }
    for (double x : xs) {
        const RotationCoefficients got = rotationCoefficients(x);
        const RotationCoefficients want = seriesOracle(x);
        EXPECT_NEAR(got.A, want.A, 2e-16) << x;
        EXPECT_NEAR(got.B, want.B, 2e-16) << x;
        EXPECT_NEAR(got.C, want.C, 2e-16) << x;
    }
}

TEST(So3Exp, IsTheRotationAboutTheVector) {
    const RotationCoefficients k = rotationCoefficients(0.35 * 0.35);
    EXPECT_TRUE(allNear(
        so3Exp({0, 0, 0.35}, k.A, k.B),
        {std::cos(0.35), -std::sin(0.35), 0, std::sin(0.35), std::cos(0.35), 0, 0, 0, 1}, 1e-16));

    std::mt19937 engine(7);
    for (double angle : {1e-9, 1e-4, 0.01, 0.3, 1.0, 2.5, 3.1, 3.14159}) {
        const Vec3 axis = OrvaneTest::randomArray<3>(engine, 1.0);
        const double n = std::sqrt(squaredNorm(axis));
        const Vec3 w = {axis[0] / n * angle, axis[1] / n * angle, axis[2] / n * angle};
        const RotationCoefficients c = rotationCoefficients(squaredNorm(w));
        const Mat3 R = so3Exp(w, c.A, c.B);
        EXPECT_TRUE(allNear(R, OrvaneTest::rotationAbout(axis, angle), 1e-15)) << angle;
        EXPECT_TRUE(isOrthonormal(R)) << angle;
    }
}

// Angles across the series, arccos and near-pi branches, including both sides of c = -0.998.
TEST(So3Log, InvertsSo3ExpFromTinyAnglesToJustBelowPi) {
    const double nearPiBorder = std::acos(-0.998);
    const double angles[] = {1e-9,
                             1e-6,
                             3e-3,
                             6e-3,
                             0.0035,
                             0.01,
                             0.3,
                             1.0,
                             2.0,
                             3.0,
                             nearPiBorder - 1e-6,
                             nearPiBorder + 1e-6,
                             3.138,
                             3.1405,
                             3.1412,
                             3.14159,
                             M_PI - 1e-9};
    const Vec3 axes[] = {{1, 0, 0},   {0, -1, 0},       {0, 0, 1},       {0.3, -0.5, 0.8},
                         {-1, 2, -3}, {-0.9, 0.1, 0.2}, {0.2, -0.7, 0.1}};
    for (const Vec3& axis : axes) {
        const double n = std::sqrt(squaredNorm(axis));
        for (double angle : angles) {
            const Vec3 w = {axis[0] / n * angle, axis[1] / n * angle, axis[2] / n * angle};
            const RotationLog log = so3Log(OrvaneTest::rotationAbout(axis, angle));
            // Past pi/2 the angle from arccos and the length of the antisymmetric part carry
            // errors of eps/sin(theta), which A = sin(theta)/theta amplifies by cot(theta).
            const double sine = std::sin(angle);
            const double tolerance = std::fmin(1e-12, 2e-15 + 5e-16 / (sine * sine));
            EXPECT_TRUE(allNear(log.omega, w, tolerance)) << angle << " about " << axis[1];
            const RotationCoefficients want = rotationCoefficients(squaredNorm(w));
            EXPECT_NEAR(log.coefficients.A, want.A, 1e-12) << angle;
            EXPECT_NEAR(log.coefficients.B, want.B, 1e-12) << angle;
        }
    }
}

TEST(So3Log, RotationsByExactlyPiAreReadFromTheSymmetricPart) {
    EXPECT_EQ(so3Log(kIdentity3).omega, (Vec3{0, 0, 0}));
    const Mat3 aboutX = {1, 0, 0, 0, -1, 0, 0, 0, -1};
    const Mat3 aboutY = {-1, 0, 0, 0, 1, 0, 0, 0, -1};
    const Mat3 aboutZ = {-1, 0, 0, 0, -1, 0, 0, 0, 1};
    EXPECT_TRUE(allNear(so3Log(aboutX).omega, {M_PI, 0, 0}, 1e-15));
    EXPECT_TRUE(allNear(so3Log(aboutY).omega, {0, M_PI, 0}, 1e-15));
    EXPECT_TRUE(allNear(so3Log(aboutZ).omega, {0, 0, M_PI}, 1e-15));
    // A rotation by pi about (1, -1, 0)/sqrt(2): the axis sign is free, the pairing is not.
    const Vec3 omega =
        so3Log(OrvaneTest::rotationAbout({1, -1, 0}, std::numbers::pi_v<long double>)).omega;
    EXPECT_NEAR(std::fabs(omega[0]), M_PI / std::sqrt(2.0), 1e-15);
    EXPECT_NEAR(omega[0], -omega[1], 1e-15);
    EXPECT_NEAR(omega[2], 0.0, 1e-15);
}

// Rounding can push the trace of a nearly valid rotation past 3 or below -1; with an
// antisymmetric part too large for the series, the arccosine must not see it.
TEST(So3Log, ClampsTheCosineOfSlightlyOffRotations) {
    const double big = 1.0 + 1e-15;
    const RotationLog identity_side = so3Log({big, -0.005, 0, 0.005, big, 0, 0, 0, big});
    EXPECT_TRUE(allNear(identity_side.omega, {0, 0, 0.005}, 1e-15));
    const RotationLog pi_side = so3Log({big, 0, 0, 0, -big, -0.004, 0, 0.004, -big});
    EXPECT_TRUE(allNear(pi_side.omega, {M_PI, 0, 0}, 1e-14));
}
