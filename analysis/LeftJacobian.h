#pragma once
// The left Jacobian of SO(3) and its derivative along a curve r(u).

#include <cstdint>

#include "analysis/Rotation.h"
#include "analysis/Types.h"

namespace Kor {

// The coefficients of one theta_sq, computed at most once per evaluation. Base coefficients
// are A, B, C; the derived ones are C - B and
//   beta_prime = (A - 2B)/theta^2,  gamma_prime = (B - 3C)/theta^2,
// so that dB/du = s beta_prime and dC/du = s gamma_prime along r(u), with s = r . r'.
struct JacobianCoefficients {
    enum class State : std::uint8_t { Empty, Base, All };

    double theta_sq = 0.0;
    double A = 0.0;
    double B = 0.0;
    double C = 0.0;
    double C_minus_B = 0.0;
    double beta_prime = 0.0;
    double gamma_prime = 0.0;
    State state = State::Empty;

    // Records base coefficients already computed for theta_sq.
    void setBase(double theta_sq, const RotationCoefficients& coefficients);
    // Makes every coefficient valid for theta_sq, computing only what is not yet valid for it.
    void prepare(double theta_sq);
};

// J(r) = I + B [r]x + C [r]x^2 with B, C of |r|^2.
Mat3 leftJacobian(const Vec3& r);

// dJ/du along r(u) with r' = dr/du:
//   s beta' [r]x + B [r']x + s gamma' [r]x^2 + C ([r']x [r]x + [r]x [r']x),  s = r . r'.
// Takes its coefficients from `coefficients`, prepared for |r|^2.
Mat3 leftJacobianDerivative(const Vec3& r, const Vec3& r_prime, JacobianCoefficients& coefficients);

}  // namespace Kor
