#pragma once
// The options of the orvane command line.

#include "app/ArgumentParser.h"

namespace Kor {

inline constexpr const char* kProgramName = "Orvane";
inline constexpr const char* kCenterTrajectories = "--center_trajectories";
inline constexpr const char* kLogDynamics = "--log_dynamics";
inline constexpr const char* kTrajectoryPaths = "trajectory_paths";

// Declares the two flags and the list of trajectory paths, in help-text order.
void declareProgramOptions(ArgumentParser& parser);

}  // namespace Kor
