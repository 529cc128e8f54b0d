#include "analysis/RigidMotion.h"

#include "analysis/Matrix3.h"
#include "analysis/Rotation.h"

namespace Kor {

namespace {

// D of the inverse left Jacobian, 1/theta^2 - A/(2 B theta^2) = (B/2 - C)/A: a series near 0,
// the form without 1/A near pi where A vanishes.
constexpr double kDSeriesBorder = 0.00021627000000000001;
constexpr double kDNearPiBorder = 9.0;

}  // namespace

Twist se3Log(const Mat3& R, const Vec3& t) {
    const RotationLog log = so3Log(R);
    const Vec3& omega = log.omega;
    const double A = log.coefficients.A;
    const double B = log.coefficients.B;
    const double C = log.coefficients.C;
    const double theta_sq = squaredNorm(omega);

    double D;
    if (theta_sq < kDSeriesBorder) {
        D = (theta_sq * 3.306878306878307e-05 + 0.001388888888888889) * theta_sq +
            0.08333333333333333;
    } else if (theta_sq > kDNearPiBorder) {
        D = (B - A * 0.5) / (theta_sq * B);
    } else {
        D = (B * 0.5 - C) / A;
    }

    const Vec3 omega_t = cross(omega, t);
    const Vec3 omega_omega_t = cross(omega, omega_t);
    Twist out;
    for (int i = 0; i < 3; ++i) {
        out[i] = t[i] - 0.5 * omega_t[i] + D * omega_omega_t[i];
        out[3 + i] = omega[i];
    }
    return out;
}

}  // namespace Kor
