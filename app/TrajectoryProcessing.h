#pragma once
// What becomes of each trajectory path that exists: read by the reader its extension picks,
// reported, optionally centred and logged, and kept as a pose list with a colour for the view.

#include <array>
#include <cstddef>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "analysis/Trajectory.h"
#include "app/SampleBudget.h"

namespace Kor {

struct ProcessingOptions {
    bool centre = false;       // --center_trajectories
    bool logDynamics = false;  // --log_dynamics
};

// True when the extension of the path's last element is exactly ".dat" (case-sensitive; the
// extension starts at the last dot, and a leading dot does not count).
bool isSplinePath(const std::string& path);

// Reads the trajectory at `path` (as typed): a ".dat" path is loaded as a spline file, sampled
// within what is left of `budget` and reported with "<path> has <n> valid intervals."; any
// other path is read as a pose file. Then centres it and writes its dynamics log when asked,
// takes its poses from `budget` and returns them; the states are dropped. A file that cannot
// be read gives an empty pose list.
std::vector<PoseSample> processTrajectoryPath(const std::string& path,
                                              const ProcessingOptions& options,
                                              SampleBudget& budget);

// The colours of the trajectories in processing order: red, green, blue, yellow, magenta and
// cyan, then three bytes from the engine (each output's low eight bits) in the order R, G, B.
class TrajectoryColours {
public:
    using Colour = std::array<std::uint8_t, 3>;

    explicit TrajectoryColours(std::uint32_t seed) : mEngine(seed) {}
    Colour next();

private:
    std::mt19937 mEngine;
    std::size_t mCount = 0;
};

}  // namespace Kor
