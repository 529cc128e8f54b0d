#pragma once
// Converts the lines of a camera-trajectory file into Orvane poses, one pose a line, skipping
// blank lines and lines that start with '#'. Poses go to the sink in file order until a line
// is refused; after that the lines are still read, so that every refused line can be
// reported, but nothing more is written.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tools/orvane-convert/InputFormat.h"
#include "tools/orvane-convert/LineReader.h"
#include "tools/orvane-convert/PoseClock.h"

namespace OrvaneConvert {

// KITTI's odometry sequences are recorded at 10 frames per second.
inline constexpr DecimalTime kDefaultPeriod{false, 1, -1};

struct ConversionSettings {
    InputFormat format = InputFormat::Tum;
    TimeOrigin origin = TimeOrigin::Relative;
    DecimalTime period = kDefaultPeriod;  // for formats without times
};

struct RefusedLine {
    std::uint64_t line = 0;
    std::string reason;
};

struct ConversionReport {
    std::uint64_t poses = 0;           // handed to the sink
    std::uint64_t refusedLines = 0;    // all of them
    std::vector<RefusedLine> refused;  // the first kReportedRefusals
    int readError = 0;                 // errno of a failed read of the input
    bool sinkFailed = false;           // the sink refused a pose; reading stopped there

    static constexpr std::size_t kReportedRefusals = 10;

    bool succeeded() const {
        return refusedLines == 0 && readError == 0 && !sinkFailed && poses > 0;
    }
};

// Takes a pose; false when it could not be written.
using PoseSink = std::function<bool(const OrvanePose& pose)>;

ConversionReport convertLines(LineReader& lines, const ConversionSettings& settings,
                              const PoseSink& sink);

}  // namespace OrvaneConvert
