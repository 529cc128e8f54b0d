#include "app/LoadSplineTrajectory.h"

#include <cstdint>
#include <vector>

#include "PlatformLib/Utf8Path.h"
#include "app/SplineParts.h"
#include "serialize/FileInputStream.h"
#include "serialize/ReadValue.h"

namespace Kor {

bool loadSplineTrajectory(SplineTrajectory& model, const std::string& path) {
    serialize::FileInputStream stream(PathFromUtf8(path));
    return loadSplineTrajectory(model, stream);
}

bool loadSplineTrajectory(SplineTrajectory& model, serialize::InputStream& stream) {
    if (!readSplineSegments(stream, model)) {
        stream.setFailed();
    }
    if (stream.good()) {
        std::vector<ValidInterval> intervals;
        const std::uint32_t count = serialize::readCountedList(stream, intervals);
        // The list changes only when its count could be read and is below the limit.
        const bool countRead = count != 0 || stream.good();
        if (countRead && count < serialize::kMaxListCount) {
            model.unreadIntervals = count - static_cast<std::uint32_t>(intervals.size());
            model.intervals = std::move(intervals);
        }
    }
    if (!stream.good()) {
        return false;
    }
    serialize::readValue(stream, model.flag);
    if (!serialize::readValue(stream, model.offset)) {
        model.flag = false;
        model.offset = {};
    }
    return true;
}

}  // namespace Kor
