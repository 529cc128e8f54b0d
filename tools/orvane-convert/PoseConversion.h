#pragma once
// From the camera-to-world poses of the common trajectory formats to Orvane's world-to-body
// poses.
//
// The formats say where the camera is and how it is turned: a camera point x maps to the world
// point C x + p (C the rotation, p the camera's position). Orvane's pose maps a world point to
// the body: x_body = R x_world + t. Inverting gives R = C^T and t = -C^T p, and Orvane then
// draws the body at -R^T t = p.

#include <string>

#include "analysis/Types.h"

namespace OrvaneConvert {

struct CameraPose {
    Kor::Mat3 rotation = Kor::kIdentity3;  // C, camera to world, row-major
    Kor::Vec3 position{};                  // p, the camera's origin in the world
};

struct OrvanePose {
    double time = 0;
    Kor::Mat3 R = Kor::kIdentity3;  // world to body, row-major
    Kor::Vec3 t{};
};

// The rotation of the Hamilton quaternion w + xi + yj + zk, normalised first. False, with the
// reason, for the zero quaternion, which has no direction to normalise.
bool quaternionRotation(double w, double x, double y, double z, Kor::Mat3& C, std::string& reason);

// Largest error of C C^T - I that a rotation read from a file may have. Files print their
// matrices to six significant digits or more, which leaves errors near 1e-6; a matrix further
// off is a different kind of matrix, or columns out of place.
inline constexpr double kRotationTolerance = 1e-3;

// Checks that C is a rotation within kRotationTolerance and not a reflection, and makes it
// orthonormal. False, with the reason, otherwise.
bool checkRotation(Kor::Mat3& C, std::string& reason);

// False, with the reason, when t is beyond the doubles (a position near the largest double,
// turned).
bool worldToBody(double time, const CameraPose& camera, OrvanePose& pose, std::string& reason);

}  // namespace OrvaneConvert
