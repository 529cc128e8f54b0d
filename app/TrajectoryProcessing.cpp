#include "app/TrajectoryProcessing.h"

#include <fmt/core.h>

#include <cstdio>
#include <filesystem>

#include "analysis/CentreTrajectory.h"
#include "analysis/DynamicsLog.h"
#include "analysis/SampleTrajectory.h"
#include "analysis/SplineTrajectory.h"
#include "app/LoadSplineTrajectory.h"
#include "app/ReadTrajectoryFile.h"

namespace Kor {

namespace {

Trajectory readSplineFile(const std::string& path, States states) {
    SplineTrajectory spline;
    // A failed load keeps what it read; the report and the samples come from that.
    loadSplineTrajectory(spline, path);
    SkippedIntervals skipped;
    Trajectory trajectory = sampleTrajectory(spline, kMaxTrajectorySamples, &skipped, states);
    fmt::print("{} has {} valid intervals.\n\n", path, validIntervalCount(spline));
    if (skipped.unsampleable > 0) {
        fmt::print(stderr,
                   "Warning: {}: {} valid intervals skipped, their bounds are not finite or too "
                   "large to advance by {} s\n",
                   path, skipped.unsampleable, kSampleStep);
    }
    if (skipped.overLimit > 0) {
        fmt::print(stderr,
                   "Warning: {}: {} valid intervals skipped, sampling them would exceed {} "
                   "samples\n",
                   path, skipped.overLimit, kMaxTrajectorySamples);
    }
    return trajectory;
}

}  // namespace

bool isSplinePath(const std::string& path) {
    return std::filesystem::path(path).extension() == ".dat";
}

std::vector<PoseSample> processTrajectoryPath(const std::string& path,
                                              const ProcessingOptions& options) {
    // The states feed only the dynamics log.
    const States states = options.logDynamics ? States::Keep : States::Skip;
    Trajectory trajectory =
        isSplinePath(path) ? readSplineFile(path, states) : readTrajectoryFile(path, states);
    if (options.centre) {
        centreTrajectory(trajectory);
    }
    if (options.logDynamics) {
        writeDynamicsLog(trajectory.states, path);
    }
    return std::move(trajectory.poses);
}

TrajectoryColours::Colour TrajectoryColours::next() {
    static constexpr Colour kFixed[] = {{255, 0, 0},   {0, 255, 0},   {0, 0, 255},
                                        {255, 255, 0}, {255, 0, 255}, {0, 255, 255}};
    if (mCount < std::size(kFixed)) {
        return kFixed[mCount++];
    }
    Colour colour;
    for (std::uint8_t& byte : colour) {
        byte = static_cast<std::uint8_t>(mEngine() % 256);
    }
    return colour;
}

}  // namespace Kor
