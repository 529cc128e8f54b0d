#pragma once
// What orvane writes for an error: the error line, its help text and one more line feed.

#include <string>

namespace OrvaneTest {

inline const std::string kOrvaneHelp =
    "Usage: Orvane [options] trajectory_paths \n"
    "\n"
    "Positional arguments:\n"
    "trajectory_paths      \tPath to the trajectory files (multiple trajectories are separated "
    "by spaces)\n"
    "\n"
    "Optional arguments:\n"
    "-h --help             \tshow this help message and exit\n"
    "--center_trajectories \tBool flag whether to shift trajectories to its centroid, Default = "
    "false\n"
    "--log_dynamics        \tBool flag whether to log trajectory dynamics (same folder as input "
    "trajectory), Default = false\n";

inline std::string errorReport(const std::string& message) {
    return "Error: " + message + "\n\n" + kOrvaneHelp + "\n";
}

}  // namespace OrvaneTest
