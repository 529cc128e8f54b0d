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

// What became of a dynamics log.
enum class DynamicsLogOutcome {
    Written,            // every line reached the file
    NotOpened,          // nothing written, and no file at the log's path
    EarlierFileKept,    // nothing written; the file already at the path is left as it was
    IncompleteRemoved,  // a write failed; the partly written file was removed
    IncompleteKept,     // a write failed; what is at the path (not a regular file, or one that
                        // could not be removed) holds part of the log
};

struct DynamicsLogResult {
    DynamicsLogOutcome outcome = DynamicsLogOutcome::Written;
    int error = 0;  // the system's error number of the failed open or write
};

// Writes one line per state, in order: the time right-aligned in 16 characters, then the six
// velocity and the six acceleration components (linear first), each right-aligned in 19
// characters and followed by a space; 12 significant digits in general notation; a number
// wider than its field widens it. Every line reaches the system before the next is written.
// An existing file is overwritten. A log cut short by a failed write (a full disk) is removed
// rather than left to pass for a whole one.
[[nodiscard]] DynamicsLogResult writeDynamicsLog(const std::vector<TrajectoryState>& states,
                                                 const std::string& inputPath);

}  // namespace Kor
