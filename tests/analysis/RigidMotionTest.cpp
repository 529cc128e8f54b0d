#include "analysis/RigidMotion.h"

#include <gtest/gtest.h>

#include "analysis/Matrix3.h"
#include "analysis/Rotation.h"
#include "tests/analysis/MathTestSupport.h"

using namespace Kor;
using OrvaneTest::allNear;

namespace {

// The translation of exp of the twist (rho, omega): integral over [0, 1] of
// exp([s omega]x) rho ds, by 8-point Gauss-Legendre quadrature, which is exact to rounding for
// this smooth integrand; no Jacobian formula involved.
Vec3 translationOfTwist(const Vec3& rho, const Vec3& omega) {
    static const double nodes[4] = {0.1834346424956498, 0.5255324099163290, 0.7966664774136267,
                                    0.9602898564975363};
    static const double weights[4] = {0.3626837833783620, 0.3137066458778873, 0.2223810344533745,
                                      0.1012285362903763};
    Vec3 t{};
    for (int k = 0; k < 4; ++k) {
        for (double sign : {-1.0, 1.0}) {
            const double s = 0.5 + 0.5 * sign * nodes[k];
            const Vec3 w = {s * omega[0], s * omega[1], s * omega[2]};
            const Vec3 rotated =
                matVec(OrvaneTest::rotationAbout(w, std::sqrt(squaredNorm(w))), rho);
            for (int i = 0; i < 3; ++i) {
                t[i] += 0.5 * weights[k] * rotated[i];
            }
        }
    }
    return t;
}

}  // namespace

TEST(Se3Log, OfAPureTranslationIsTheTranslation) {
    const Vec3 t = {1.5, -2.25, 1e-7};
    EXPECT_EQ(se3Log(kIdentity3, t), (Twist{1.5, -2.25, 1e-7, 0, 0, 0}));
}

// theta^2 on both sides of the series border of D, in its middle regime and beyond 9.
TEST(Se3Log, InvertsTheExponentialInEveryRegimeOfD) {
    const Vec3 rho = {0.7, -1.3, 2.1};
    const Vec3 axis = {0.48, -0.6, 0.64};  // unit length
    for (double angle : {1e-5, 0.0147, 0.0148, 0.5, 2.0, 2.99, 3.01, 3.1}) {
        const Vec3 omega = {axis[0] * angle, axis[1] * angle, axis[2] * angle};
        const Mat3 R = OrvaneTest::rotationAbout(axis, angle);
        const Twist twist = se3Log(R, translationOfTwist(rho, omega));
        EXPECT_TRUE(allNear(twist, {rho[0], rho[1], rho[2], omega[0], omega[1], omega[2]}, 1e-13))
            << angle;
    }
}
