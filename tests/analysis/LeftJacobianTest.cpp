#include "analysis/LeftJacobian.h"

#include <gtest/gtest.h>

#include "analysis/Matrix3.h"
#include "tests/analysis/MathTestSupport.h"

using namespace Kor;
using OrvaneTest::allNear;

namespace {

// A quadratic curve r(u) = r0 + u r1 + u^2 r2.
struct Curve {
    Vec3 r0, r1, r2;
    Vec3 at(double u) const {
        return {r0[0] + u * (r1[0] + u * r2[0]), r0[1] + u * (r1[1] + u * r2[1]),
                r0[2] + u * (r1[2] + u * r2[2])};
    }
    Vec3 rate(double u) const {
        return {r1[0] + 2 * u * r2[0], r1[1] + 2 * u * r2[1], r1[2] + 2 * u * r2[2]};
    }
};

// Curves whose |r|^2 at u = 0 lies in the series, rational and direct regimes, and one through
// the origin (s = 0).
const Curve kCurves[] = {
    {{0.004, -0.003, 0.002}, {0.01, 0.02, -0.015}, {0.003, 0.0, 0.001}},
    {{0.2, -0.3, 0.1}, {0.5, 0.2, -0.4}, {0.1, 0.1, 0.0}},
    {{1.2, -1.5, 0.9}, {0.4, -0.2, 0.7}, {-0.3, 0.2, 0.1}},
    {{0.0, 0.0, 0.0}, {0.3, -0.1, 0.2}, {0.0, 0.0, 0.0}},
};

}  // namespace

TEST(LeftJacobian, DerivativeMatchesFiniteDifferenceAlongCurves) {
    const double h = 1e-5;
    for (const Curve& curve : kCurves) {
        for (double u : {0.0, 0.35, 1.0}) {
            JacobianCoefficients coefficients;
            const Mat3 dJ = leftJacobianDerivative(curve.at(u), curve.rate(u), coefficients);
            const Mat3 plus = leftJacobian(curve.at(u + h));
            const Mat3 minus = leftJacobian(curve.at(u - h));
            Mat3 numeric;
            for (int k = 0; k < 9; ++k) {
                numeric[k] = (plus[k] - minus[k]) / (2 * h);
            }
            EXPECT_TRUE(allNear(dJ, numeric, 1e-9)) << curve.r0[0] << " at " << u;
        }
    }
}

// The cache reuses base coefficients recorded for the same theta_sq and nothing else. Marked
// values make reuse and recomputation visible.
TEST(JacobianCoefficients, ReusesOnlyWhatIsValidForTheSameAngle) {
    const double x = 0.3;
    JacobianCoefficients cached;
    cached.setBase(x, {2.0, 3.0, 5.0});
    cached.prepare(x);
    EXPECT_EQ(cached.A, 2.0);
    EXPECT_EQ(cached.C_minus_B, 2.0);
    EXPECT_EQ(cached.beta_prime, (2.0 - 6.0) / x);
    EXPECT_EQ(cached.state, JacobianCoefficients::State::All);

    cached.gamma_prime = 99.0;
    cached.prepare(x);
    EXPECT_EQ(cached.gamma_prime, 99.0);

    cached.prepare(0.5);
    const RotationCoefficients fresh = rotationCoefficients(0.5);
    EXPECT_EQ(cached.B, fresh.B);
    EXPECT_EQ(cached.gamma_prime, (fresh.B - 3.0 * fresh.C) / 0.5);
}
