#pragma once
// Shifting a trajectory to its own centroid.

#include "analysis/Trajectory.h"

namespace Kor {

// Subtracts the mean of the pose positions from every pose position. States and rotations are
// left as they are. An empty trajectory is unchanged.
void centreTrajectory(Trajectory& trajectory);

}  // namespace Kor
