#include "app/TrajectoryProcessing.h"

#include <fmt/core.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "PlatformLib/Utf8Path.h"
#include "analysis/CentreTrajectory.h"
#include "analysis/DynamicsLog.h"
#include "analysis/SampleTrajectory.h"
#include "analysis/SplineTrajectory.h"
#include "app/LoadSplineTrajectory.h"
#include "app/ReadTrajectoryFile.h"

namespace Kor {

namespace {

Trajectory readSplineFile(const std::string& path, States states, const SampleBudget& budget) {
    SplineTrajectory spline;
    // A failed load keeps what it read; the report and the samples come from that.
    loadSplineTrajectory(spline, path);
    // The states live as long as the poses while the file is processed.
    const std::uint64_t bytesPerSample =
        sizeof(PoseSample) + (states == States::Keep ? sizeof(TrajectoryState) : 0);
    const std::uint64_t budgetSamples = budget.samplesLeft(bytesPerSample);
    SkippedIntervals skipped;
    Trajectory trajectory =
        sampleTrajectory(spline, std::min(kMaxTrajectorySamples, budgetSamples), &skipped, states);
    fmt::print("{} has {} valid intervals.\n\n", path, validIntervalCount(spline));
    if (skipped.unsampleable > 0) {
        fmt::print(stderr,
                   "Warning: {}: {} valid intervals skipped, their bounds are not finite or too "
                   "large to advance by {} s\n",
                   path, skipped.unsampleable, kSampleStep);
    }
    if (skipped.overLimit > 0 && budgetSamples < kMaxTrajectorySamples) {
        fmt::print(stderr,
                   "Warning: {}: {} valid intervals skipped, sampling them would exceed the "
                   "memory budget of this run ({} MiB for the samples of all trajectories)\n",
                   path, skipped.overLimit, budget.bytes() >> 20);
    } else if (skipped.overLimit > 0) {
        fmt::print(stderr,
                   "Warning: {}: {} valid intervals skipped, sampling them would exceed {} "
                   "samples\n",
                   path, skipped.overLimit, kMaxTrajectorySamples);
    }
    return trajectory;
}

// A log that was asked for and not written whole is an error of its own; the run goes on.
void reportDynamicsLog(const DynamicsLogResult& result, const std::string& inputPath) {
    const char* aftermath = "";
    switch (result.outcome) {
        case DynamicsLogOutcome::Written:
            return;
        case DynamicsLogOutcome::NotOpened:
            break;
        case DynamicsLogOutcome::EarlierFileKept:
            aftermath = "; the file already there was left unchanged";
            break;
        case DynamicsLogOutcome::IncompleteRemoved:
            aftermath = "; the incomplete file was removed";
            break;
        case DynamicsLogOutcome::IncompleteKept:
            aftermath = "; the file is incomplete";
            break;
    }
    // The error is the C library's errno; on Windows the system's own texts are for other
    // numbers.
    fmt::print(stderr, "Error: Could not write dynamics log {}: {}{}\n", dynamicsLogPath(inputPath),
               std::generic_category().message(result.error), aftermath);
}

}  // namespace

bool isSplinePath(const std::string& path) {
    return PathFromUtf8(path).extension() == ".dat";
}

std::vector<PoseSample> processTrajectoryPath(const std::string& path,
                                              const ProcessingOptions& options,
                                              SampleBudget& budget) {
    // The states feed only the dynamics log.
    const States states = options.logDynamics ? States::Keep : States::Skip;
    // Pose files are read whole: their memory follows their size on disk.
    Trajectory trajectory = isSplinePath(path) ? readSplineFile(path, states, budget)
                                               : readTrajectoryFile(path, states);
    if (options.centre) {
        centreTrajectory(trajectory);
    }
    if (options.logDynamics) {
        reportDynamicsLog(writeDynamicsLog(trajectory.states, path), path);
    }
    budget.take(trajectory.poses.capacity() * sizeof(PoseSample));
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
