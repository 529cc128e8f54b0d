#pragma once
// Camera poses built from an axis and an angle in closed form, as an oracle that does not use
// the converter's quaternion code, and their lines in the TUM, KITTI and EuRoC formats.

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/support/ScrewMotion.h"

namespace OrvaneTest {

struct CameraCase {
    const char* name;
    std::array<double, 3> axis;  // unit length
    double angle;                // radians
    std::array<double, 3> position;
};

// Rotations in every regime of a conversion: none, tiny, a quarter turn, half turns (where the
// quaternion's w is 0) and a general one; positions small and far away.
inline const std::vector<CameraCase>& cameraCases() {
    static const std::vector<CameraCase> cases = {
        {"identity", {1, 0, 0}, 0.0, {0, 0, 0}},
        {"tiny turn", {0, 0, 1}, 1e-9, {1, 2, 3}},
        {"quarter turn about z", {0, 0, 1}, M_PI / 2, {1.5, -2, 0.25}},
        {"half turn about x", {1, 0, 0}, M_PI, {-4, 5, 6}},
        {"nearly half turn", {0, 0.6, 0.8}, M_PI - 1e-7, {0.1, 0.2, 0.3}},
        {"general", {2.0 / 7, 3.0 / 7, 6.0 / 7}, 2.5, {4.688319, -1.786938, 0.783338}},
        {"far away", {0.6, 0, -0.8}, -1.25, {123456.789, -98765.4321, 5e3}},
    };
    return cases;
}

using Matrix = M3;

// Camera to world: I + sin K + (1 - cos) K^2 about the unit axis k.
inline Matrix rotationOf(const CameraCase& c) {
    const auto& k = c.axis;
    const Matrix K = {0, -k[2], k[1], k[2], 0, -k[0], -k[1], k[0], 0};
    const Matrix K2 = mul(K, K);
    Matrix C;
    for (int i = 0; i < 9; ++i) {
        C[i] =
            (i % 4 == 0 ? 1.0 : 0.0) + std::sin(c.angle) * K[i] + (1 - std::cos(c.angle)) * K2[i];
    }
    return C;
}

// (w, x, y, z), scaled by `scale` (a file's quaternion need not be of unit length).
inline std::array<double, 4> quaternionOf(const CameraCase& c, double scale = 1.0) {
    const double s = std::sin(c.angle / 2) * scale;
    return {std::cos(c.angle / 2) * scale, s * c.axis[0], s * c.axis[1], s * c.axis[2]};
}

// What Orvane should get: R = C^T and t = -C^T p, so that it draws the camera at p.
struct ExpectedPose {
    Matrix R;
    std::array<double, 3> t;
};

inline ExpectedPose expectedPose(const CameraCase& c) {
    const Matrix C = rotationOf(c);
    ExpectedPose e;
    for (int i = 0; i < 3; ++i) {
        e.t[i] = 0;
        for (int j = 0; j < 3; ++j) {
            e.R[3 * i + j] = C[3 * j + i];
            e.t[i] -= C[3 * j + i] * c.position[j];
        }
    }
    return e;
}

inline std::string joined(const std::vector<double>& values, const char* separator) {
    std::string text;
    char number[32];
    for (std::size_t k = 0; k < values.size(); ++k) {
        std::snprintf(number, sizeof number, "%.17g", values[k]);
        text += (k == 0 ? "" : separator);
        text += number;
    }
    return text;
}

// "timestamp tx ty tz qx qy qz qw".
inline std::string tumLine(const std::string& stamp, const CameraCase& c, double scale = 1.0) {
    const auto q = quaternionOf(c, scale);
    const auto& p = c.position;
    return stamp + " " + joined({p[0], p[1], p[2], q[1], q[2], q[3], q[0]}, " ") + "\n";
}

// [C | p] row by row.
inline std::string kittiLine(const CameraCase& c) {
    const Matrix C = rotationOf(c);
    const auto& p = c.position;
    return joined({C[0], C[1], C[2], p[0], C[3], C[4], C[5], p[1], C[6], C[7], C[8], p[2]}, " ") +
           "\n";
}

// "timestamp, p_x, p_y, p_z, q_w, q_x, q_y, q_z", then velocities and biases as in EuRoC.
inline std::string eurocLine(std::uint64_t nanoseconds, const CameraCase& c) {
    const auto q = quaternionOf(c);
    const auto& p = c.position;
    return std::to_string(nanoseconds) + "," +
           joined({p[0], p[1], p[2], q[0], q[1], q[2], q[3], 0.1, -0.2, 0.3, 0, 0, 0, 0, 0, 0},
                  ",") +
           "\n";
}

}  // namespace OrvaneTest
