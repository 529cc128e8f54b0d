#pragma once
// Gives each pose its time in seconds and holds the poses to increasing times, since Orvane
// takes velocities from the differences of successive times.
//
// With stamps, the time is the stamp itself (TimeOrigin::Absolute) or the time since the
// first pose's stamp (TimeOrigin::Relative), which is exact to the last digit of the stamps
// before it is rounded once to a double. Without stamps (KITTI), pose k is at k * period.

#include <cstdint>
#include <string>

#include "tools/orvane-convert/PoseLine.h"

namespace OrvaneConvert {

enum class TimeOrigin { Relative, Absolute };

class PoseClock {
public:
    PoseClock(TimeOrigin origin, const DecimalTime& period);

    // The time of the pose of `line` (its number in the file), which must come after the
    // previous pose's. False, with the reason, when it does not, or when the time is beyond
    // the doubles.
    bool timeOf(const PoseLine& pose, std::uint64_t line, double& seconds, std::string& reason);

private:
    TimeOrigin mOrigin;
    DecimalTime mPeriod;
    std::uint64_t mPoses = 0;
    DecimalTime mFirstStamp;
    double mPreviousTime = 0;
    std::uint64_t mPreviousLine = 0;
    std::string mPreviousStampText;
};

}  // namespace OrvaneConvert
