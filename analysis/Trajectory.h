#pragma once
// The records every trajectory is made of.
//
// A pose is a world-to-body rigid transform (R, t): x_body = R * x_world + t, so the body
// origin in world coordinates is -R^T * t. A velocity twist (v, w) is the world-side twist
// dT/dtau * T^-1, i.e. dR/dtau = [w]x * R and v = dt/dtau - w x t; the acceleration twist is
// its time derivative, component by component.

#include <vector>

#include "analysis/Types.h"

namespace Kor {

// One drawn sample.
struct PoseSample {
    Vec3 position{};             // body origin in world coordinates (-R^T * t)
    Mat3 rotation = kIdentity3;  // R of the sample's transform (world to body)
};

// One dynamic state, as the dynamics log writes it.
struct TrajectoryState {
    double time = 0.0;           // seconds
    Mat3 rotation = kIdentity3;  // R of the world-to-body transform
    Vec3 translation{};          // t of the world-to-body transform
    Twist velocity{};            // (v, w), world side
    Twist acceleration{};        // time derivative of the velocity twist
    bool hasVelocity = false;
    bool hasAcceleration = false;
};

// Whether a reader builds the states besides the poses. Only the dynamics log reads them, and
// they are twice the size of the poses, so a run without the log skips them.
enum class States : bool { Skip, Keep };

// The pose and state sequences kept per input file. The counts differ for pose files; the
// sampler produces one state per pose, in the same order.
struct Trajectory {
    std::vector<PoseSample> poses;
    std::vector<TrajectoryState> states;
};

}  // namespace Kor
