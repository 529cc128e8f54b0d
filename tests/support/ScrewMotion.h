#pragma once
// Poses of a body moving with a constant world-side twist, in closed form, as an oracle that
// does not use the project's rotation code.

#include <array>
#include <cmath>

#include "tests/support/TrajectoryFiles.h"

namespace OrvaneTest {

using M3 = std::array<double, 9>;
using V3 = std::array<double, 3>;

inline M3 mul(const M3& a, const M3& b) {
    M3 c{};
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            for (int k = 0; k < 3; ++k) {
                c[3 * i + j] += a[3 * i + k] * b[3 * k + j];
            }
        }
    }
    return c;
}

inline V3 mulVec(const M3& a, const V3& x) {
    return {a[0] * x[0] + a[1] * x[1] + a[2] * x[2], a[3] * x[0] + a[4] * x[1] + a[5] * x[2],
            a[6] * x[0] + a[7] * x[1] + a[8] * x[2]};
}

// The pose at time tau of T(tau) = exp(tau xi) T0 with xi = (v, w), w != 0, tau != 0. About the
// unit axis K and the angle theta = |w| tau, exp(tau xi) has the rotation I + sin K + (1 - cos)
// K^2 and the translation V (tau v) with V = I + (1 - cos)/theta K + (theta - sin)/theta K^2.
inline PoseRecord screwPose(const V3& v, const V3& w, const M3& R0, const V3& t0, double tau) {
    const double norm = std::sqrt(w[0] * w[0] + w[1] * w[1] + w[2] * w[2]);
    const double theta = norm * tau;
    const V3 k = {w[0] / norm, w[1] / norm, w[2] / norm};
    const M3 K = {0, -k[2], k[1], k[2], 0, -k[0], -k[1], k[0], 0};
    const M3 K2 = mul(K, K);
    M3 E;
    M3 V;
    for (int i = 0; i < 9; ++i) {
        const double identity = i % 4 == 0 ? 1.0 : 0.0;
        E[i] = identity + std::sin(theta) * K[i] + (1 - std::cos(theta)) * K2[i];
        V[i] = identity + (1 - std::cos(theta)) / theta * K[i] +
               (theta - std::sin(theta)) / theta * K2[i];
    }
    const V3 moved = mulVec(E, t0);
    const V3 e = mulVec(V, {v[0] * tau, v[1] * tau, v[2] * tau});
    PoseRecord r;
    r.time = tau;
    r.R = mul(E, R0);
    r.t = {moved[0] + e[0], moved[1] + e[1], moved[2] + e[2]};
    return r;
}

}  // namespace OrvaneTest
