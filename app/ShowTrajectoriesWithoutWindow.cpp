#include <fmt/core.h>

#include <cstdio>

#include "app/ShowTrajectories.h"

namespace Kor {

// Built where the platform has no window backend yet: the files were read, reported and
// logged, but what was asked for last cannot be done, so the run does not end as a success.
int showTrajectories(const std::vector<std::vector<PoseSample>>&,
                     const std::vector<TrajectoryColours::Colour>&) {
    std::fflush(stdout);
    fmt::print(stderr, "Error: this build of Orvane has no window to show the trajectories in\n");
    return 1;
}

}  // namespace Kor
