#pragma once
// The dynamics log: the velocity and acceleration of every state of a trajectory, one state per
// line, in a text file beside the input.

#include <string>
#include <vector>

#include "analysis/Trajectory.h"

namespace Kor {

// The log file of an input path: its directory (without trailing separators, except a root's),
// the input's file name without its last extension, then "Dynamics.txt". "rec/walk1.dat" gives
// "rec/walk1Dynamics.txt", "walk.csv" gives "walkDynamics.txt", "rec/take.2.dat" gives
// "rec/take.2Dynamics.txt"; a leading dot does not start an extension.
std::string dynamicsLogPath(const std::string& inputPath);

// Writes one line per state, in order: the time right-aligned in 16 characters, then the six
// velocity and the six acceleration components (linear first), each right-aligned in 19
// characters and followed by a space; 12 significant digits in general notation; a number
// wider than its field widens it. Every line reaches the system before the next is written.
// An existing file is overwritten; a file that cannot be opened, and write errors, are ignored.
void writeDynamicsLog(const std::vector<TrajectoryState>& states, const std::string& inputPath);

}  // namespace Kor
