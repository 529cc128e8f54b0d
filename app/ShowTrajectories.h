#pragma once
// The last step of a run: showing the processed trajectories. The build picks the file that
// does it: the window of the view, or a report where the platform has no window yet.

#include <vector>

#include "analysis/Trajectory.h"
#include "app/TrajectoryProcessing.h"

namespace Kor {

// Shows every pose list in its colour until the user is done; returns the exit status.
int showTrajectories(const std::vector<std::vector<PoseSample>>& poseLists,
                     const std::vector<TrajectoryColours::Colour>& colours);

}  // namespace Kor
