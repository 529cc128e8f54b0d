#include "analysis/Rotation.h"

#include <algorithm>
#include <cmath>

#include "analysis/Matrix3.h"

namespace Kor {

RotationCoefficients rotationCoefficients(double theta_sq) {
    const double x = theta_sq;
    RotationCoefficients out;
    if (x < kCoefficientSeriesBorder) {
        // Taylor series in theta^2; at 0 they give A = 1, B = 1/2, C = 1/6 exactly.
        out.C = 1.0 / 6.0 - (0.008333333333333333 - x * 0.0001984126984126984) * x;
        out.A = 1.0 - out.C * x;
        out.B = 0.5 - (0.041666666666666664 - x * 0.001388888888888889) * x;
    } else if (x < kCoefficientDirectBorder) {
        // Rational approximations: the direct quotients lose digits to cancellation here.
        out.B =
            (0.5 -
             (0.03156167979002625 - (0.0006407962116623533 - x * 4.139652269573529e-06) * x) * x) /
            (((x * 8.499811649417948e-07 + 0.000187979124986999) * x + 0.02020997375328084) * x +
             1.0);
        out.C =
            (0.16666666666666666 -
             (0.0054694733402320134 - (7.732503443521361e-05 - x * 3.7132553630384177e-07) * x) *
                 x) /
            (((x * 4.818962119762729e-07 + 0.00013263201406548718) * x + 0.01718315995860792) * x +
             1.0);
        out.A = 1.0 - out.C * x;
    } else {
        const double theta = std::sqrt(x);
        const double inv_theta = 1.0 / theta;
        out.A = std::sin(theta) * inv_theta;
        out.B = (1.0 - std::cos(theta)) * (inv_theta * inv_theta);
        out.C = (1.0 - out.A) * (inv_theta * inv_theta);
    }
    return out;
}

namespace {

// Below this |w|^2 (w = 2 sin(theta) * axis) the angle comes from a series, not arccos.
constexpr double kLogSeriesBorder = 4.8060000000000004e-05;
// At or below this cosine the antisymmetric part is too small to give the axis reliably.
constexpr double kNearPiCosine = -0.998;
constexpr double kPi = 3.141592653589793;

// The axis of a rotation by theta near pi, from its symmetric part
// R = c I + B omega omega^T + A [omega]x: the diagonal gives the squares of omega, the
// off-diagonal pairs their products, and w (the antisymmetric part) the overall sign.
Vec3 omegaNearPi(const Mat3& R, double c, double B, const Vec3& w) {
    const double k = 1.0 / B;
    const double d[3] = {(R[0] - c) * k, (R[4] - c) * k, (R[8] - c) * k};
    const double m01 = (R[1] + R[3]) * 0.5 * k;
    const double m02 = (R[2] + R[6]) * 0.5 * k;
    const double m12 = (R[7] + R[5]) * 0.5 * k;
    int i;
    if (d[0] > d[1]) {
        i = d[0] > d[2] ? 0 : 2;
    } else {
        i = d[1] > d[2] ? 1 : 2;
    }
    double wi = std::sqrt(d[i]);
    if (w[i] < 0.0) {
        wi = -wi;
    }
    Vec3 omega;
    omega[i] = wi;
    switch (i) {
        case 0:
            omega[1] = m01 / wi;
            omega[2] = m02 / wi;
            break;
        case 1:
            omega[0] = m01 / wi;
            omega[2] = m12 / wi;
            break;
        default:
            omega[0] = m02 / wi;
            omega[1] = m12 / wi;
            break;
    }
    return omega;
}

}  // namespace

RotationLog so3Log(const Mat3& R) {
    const double c = std::clamp((R[0] + R[4] + R[8] - 1.0) * 0.5, -1.0, 1.0);
    const Vec3 w = {R[7] - R[5], R[2] - R[6], R[3] - R[1]};
    const double q = squaredNorm(w);

    RotationLog out;
    double theta;
    if (q < kLogSeriesBorder) {
        // theta / (2 sin(theta)) as a series in q = 4 sin^2(theta).
        const double f = (q * 0.00234375 + 0.020833333333333332) * q + 0.5;
        const double theta_small = std::sqrt(q) * f;
        if (c >= 0.0) {
            out.coefficients = rotationCoefficients(theta_small * theta_small);
            out.omega = {f * w[0], f * w[1], f * w[2]};
            return out;
        }
        theta = kPi - theta_small;
    } else {
        theta = std::acos(c);
    }

    out.coefficients = rotationCoefficients(theta * theta);
    if (c > kNearPiCosine) {
        const double scale = 0.5 / out.coefficients.A;
        out.omega = {scale * w[0], scale * w[1], scale * w[2]};
    } else {
        out.omega = omegaNearPi(R, c, out.coefficients.B, w);
    }
    return out;
}

}  // namespace Kor
