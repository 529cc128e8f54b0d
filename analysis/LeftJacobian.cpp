#include "analysis/LeftJacobian.h"

#include "analysis/Matrix3.h"

namespace Kor {

void JacobianCoefficients::setBase(double x, const RotationCoefficients& coefficients) {
    theta_sq = x;
    A = coefficients.A;
    B = coefficients.B;
    C = coefficients.C;
    state = State::Base;
}

void JacobianCoefficients::prepare(double x) {
    if (state != State::Empty && theta_sq == x) {
        if (state == State::All) {
            return;
        }
    } else {
        setBase(x, rotationCoefficients(x));
    }
    C_minus_B = C - B;
    if (x < kCoefficientSeriesBorder) {
        // The quotients cancel badly near 0; their series in theta^2.
        beta_prime = (0.005555555555555556 - x * 0.00014880952380952382) * x - 0.08333333333333333;
        gamma_prime =
            (0.0007936507936507937 - x * 1.6534391534391536e-05) * x - 0.016666666666666666;
    } else {
        beta_prime = (A - 2.0 * B) / x;
        gamma_prime = (B - 3.0 * C) / x;
    }
    state = State::All;
}

Mat3 leftJacobian(const Vec3& r) {
    const RotationCoefficients coefficients = rotationCoefficients(squaredNorm(r));
    return so3Exp(r, coefficients.B, coefficients.C);
}

Mat3 leftJacobianDerivative(const Vec3& r, const Vec3& r_prime,
                            JacobianCoefficients& coefficients) {
    coefficients.prepare(squaredNorm(r));
    const double B = coefficients.B;
    const double C = coefficients.C;
    const double s = dot(r, r_prime);
    const double s_gamma = s * coefficients.gamma_prime;
    const double s_beta = s * coefficients.beta_prime;
    // k = s beta' r + B r' collects both [.]x terms.
    const Vec3 k = {s_beta * r[0] + B * r_prime[0], s_beta * r[1] + B * r_prime[1],
                    s_beta * r[2] + B * r_prime[2]};

    Mat3 out;
    for (int i = 0; i < 3; ++i) {
        out[4 * i] = (coefficients.gamma_prime * (r[i] * r[i]) + coefficients.C_minus_B) * s +
                     2.0 * C * r[i] * r_prime[i];
    }
    const auto symmetric = [&](int i, int j) {
        return C * (r[i] * r_prime[j] + r_prime[i] * r[j]) + s_gamma * r[i] * r[j];
    };
    out[1] = symmetric(0, 1) - k[2];
    out[2] = symmetric(0, 2) + k[1];
    out[3] = symmetric(1, 0) + k[2];
    out[5] = symmetric(1, 2) - k[0];
    out[6] = symmetric(2, 0) - k[1];
    out[7] = symmetric(2, 1) + k[0];
    return out;
}

}  // namespace Kor
