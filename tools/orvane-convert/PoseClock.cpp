#include "tools/orvane-convert/PoseClock.h"

#include <charconv>
#include <cmath>

#include "tools/orvane-convert/Fields.h"

namespace OrvaneConvert {

namespace {

std::string shortest(double value) {
    char text[32];
    return std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
}

}  // namespace

PoseClock::PoseClock(TimeOrigin origin, const DecimalTime& period)
    : mOrigin(origin), mPeriod(period) {}

bool PoseClock::timeOf(const PoseLine& pose, std::uint64_t line, double& seconds,
                       std::string& reason) {
    const std::uint64_t index = mPoses;
    if (!pose.stamp) {
        seconds = multiple(mPeriod, index);
    } else if (mOrigin == TimeOrigin::Absolute) {
        seconds = toSeconds(*pose.stamp);
    } else {
        if (index == 0) {
            mFirstStamp = *pose.stamp;
        }
        seconds = secondsBetween(mFirstStamp, *pose.stamp);
    }
    if (!std::isfinite(seconds)) {
        reason = pose.stamp ? "timestamp " + quotedField(pose.stampText) + " is out of range"
                            : "time " + std::to_string(index) + " * period is out of range";
        return false;
    }
    if (index > 0 && !(seconds > mPreviousTime)) {
        reason = pose.stamp
                     ? "timestamp " + quotedField(pose.stampText) +
                           " is not after the previous pose's " + quotedField(mPreviousStampText)
                     : "time " + shortest(seconds) + " is not after the previous pose's " +
                           shortest(mPreviousTime);
        reason += " (line " + std::to_string(mPreviousLine) + ")";
        return false;
    }
    ++mPoses;
    mPreviousTime = seconds;
    mPreviousLine = line;
    mPreviousStampText.assign(pose.stampText);
    return true;
}

}  // namespace OrvaneConvert
