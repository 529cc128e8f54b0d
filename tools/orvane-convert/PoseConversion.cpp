#include "tools/orvane-convert/PoseConversion.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "analysis/Matrix3.h"
#include "analysis/Orthonormal.h"

namespace OrvaneConvert {

namespace {

Kor::Mat3 transposed(const Kor::Mat3& A) {
    return {A[0], A[3], A[6], A[1], A[4], A[7], A[2], A[5], A[8]};
}

double determinant(const Kor::Mat3& A) {
    return Kor::dot({A[0], A[1], A[2]}, Kor::cross({A[3], A[4], A[5]}, {A[6], A[7], A[8]}));
}

}  // namespace

bool quaternionRotation(double w, double x, double y, double z, Kor::Mat3& C, std::string& reason) {
    // Scaled by the largest component first, so that tiny or huge quaternions normalise
    // without underflow or overflow.
    const double largest = std::max({std::fabs(w), std::fabs(x), std::fabs(y), std::fabs(z)});
    if (!(largest > 0)) {
        reason = "the quaternion is zero";
        return false;
    }
    w /= largest;
    x /= largest;
    y /= largest;
    z /= largest;
    const double norm = std::sqrt(w * w + x * x + y * y + z * z);
    w /= norm;
    x /= norm;
    y /= norm;
    z /= norm;
    const double xx = x * x, yy = y * y, zz = z * z;
    const double xy = x * y, xz = x * z, yz = y * z;
    const double wx = w * x, wy = w * y, wz = w * z;
    C = {1 - 2 * (yy + zz), 2 * (xy - wz), 2 * (xz + wy), 2 * (xy + wz),    1 - 2 * (xx + zz),
         2 * (yz - wx),     2 * (xz - wy), 2 * (yz + wx), 1 - 2 * (xx + yy)};
    return true;
}

bool checkRotation(Kor::Mat3& C, std::string& reason) {
    const Kor::Mat3 CCt = Kor::matMulT(C, C);
    double largest = 0;
    for (int k = 0; k < 9; ++k) {
        const double error = std::fabs(CCt[k] - Kor::kIdentity3[k]);
        if (!(error <= largest)) {  // a NaN sticks
            largest = error;
        }
    }
    if (!(largest <= kRotationTolerance)) {
        char text[32];
        char* end =
            std::to_chars(text, text + sizeof text, largest, std::chars_format::general, 3).ptr;
        reason = "the rotation is not orthonormal: R R^T differs from the identity by up to " +
                 std::string(text, end);
        return false;
    }
    if (!(determinant(C) > 0)) {
        reason = "the rotation is a reflection (its determinant is negative)";
        return false;
    }
    Kor::orthonormalise(C);
    return true;
}

bool worldToBody(double time, const CameraPose& camera, OrvanePose& pose, std::string& reason) {
    pose.time = time;
    pose.R = transposed(camera.rotation);
    const Kor::Vec3 turned = Kor::matVec(pose.R, camera.position);
    for (int k = 0; k < 3; ++k) {
        pose.t[k] = 0.0 - turned[k];  // not -turned[k], which writes "-0" for a zero
        if (!std::isfinite(pose.t[k])) {
            reason = "the position is too far out to be turned into Orvane's pose";
            return false;
        }
    }
    return true;
}

}  // namespace OrvaneConvert
