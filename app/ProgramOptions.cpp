#include "app/ProgramOptions.h"

namespace Kor {

void declareProgramOptions(ArgumentParser& parser) {
    parser.addArgument(kCenterTrajectories)
        .help("Bool flag whether to shift trajectories to its centroid, Default = false")
        .defaultValue(false)
        .implicitValue(true);
    parser.addArgument(kLogDynamics)
        .help(
            "Bool flag whether to log trajectory dynamics (same folder as input trajectory), "
            "Default = false")
        .defaultValue(false)
        .implicitValue(true);
    parser.addArgument(kTrajectoryPaths)
        .help("Path to the trajectory files (multiple trajectories are separated by spaces)")
        .nargs(-1);
}

}  // namespace Kor
