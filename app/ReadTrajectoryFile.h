#pragma once
// A pose file turned into a trajectory: every record becomes a pose sample, and velocities and
// accelerations come from finite differences between successive records.

#include <string>

#include "analysis/Trajectory.h"
#include "app/PoseFileReader.h"

namespace Kor {

// Successive times closer than this (in seconds) give no velocity. The decimal value, not 2^-53.
inline constexpr double kMinPoseTimeStep = 1.11e-16;

// Opens `path` (as typed) with a PoseFileReader and reads every record. A file that cannot be
// opened prints "Error: Could not open <path>" to standard error, without a line feed, and
// yields an empty trajectory. Never fails otherwise: reading stops at the first bad record.
// With States::Skip only the poses are built.
Trajectory readTrajectoryFile(const std::string& path, States states = States::Keep);

// Reads the rest of an opened reader. N records give N poses and max(N - 2, 0) states: the
// first two records append no state. A state's velocity is the twist of the relative transform
// from the previous record divided by the time step (none when the step is below
// kMinPoseTimeStep); its acceleration is the change of velocity over the same step, when both
// the state and the previous one have a velocity.
Trajectory readTrajectory(PoseFileReader& reader, States states = States::Keep);

}  // namespace Kor
