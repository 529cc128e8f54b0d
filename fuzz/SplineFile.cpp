// loadSplineTrajectory over arbitrary bytes, then sampling within a small budget: the load
// fails or succeeds as the layout of the bytes says, never keeps more than the data holds, and
// the sampler never exceeds its budget nor makes a sample at a time that is not finite.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "analysis/SampleTrajectory.h"
#include "app/LoadSplineTrajectory.h"
#include "app/SplineParts.h"
#include "serialize/IOStreamInputStream.h"

namespace {

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

std::uint32_t countAt(const std::uint8_t* data, std::size_t size, std::size_t offset) {
    std::uint32_t count = 0;
    for (int i = 0; i < 4 && offset + i < size; ++i) {
        count |= static_cast<std::uint32_t>(data[offset + i]) << (8 * i);
    }
    return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::istringstream bytes(std::string(reinterpret_cast<const char*>(data), size));
    Kor::serialize::IOStreamInputStream stream(&bytes);
    Kor::SplineTrajectory model;
    const bool loaded = Kor::loadSplineTrajectory(model, stream);

    const std::uint64_t segmentsEnd =
        4 + std::uint64_t{Kor::kStoredSegmentSize} * countAt(data, size, 0);
    check(model.segmentCount == 0 || segmentsEnd <= size);
    check(model.intervals.size() * 16 <= size);
    check(model.intervals.capacity() * 16 <= size);
    // A count of 0 installs no segments and still succeeds.
    const bool installed = model.segmentCount > 0 || (size >= 4 && countAt(data, size, 0) == 0);
    if (!installed) {
        check(!loaded && Kor::validIntervalCount(model) == 0);
    } else if (segmentsEnd + 4 <= size) {
        const std::uint32_t intervals = countAt(data, size, segmentsEnd);
        check(Kor::validIntervalCount(model) == (intervals < (1u << 30) ? intervals : 0));
        check(loaded == (intervals < (1u << 30) && segmentsEnd + 4 + 16ull * intervals <= size));
    }
    if (!loaded) {
        check(!model.flag && model.offset == Kor::Vec3{});
    }

    constexpr std::uint64_t kBudget = 4096;
    Kor::SkippedIntervals skipped;
    const Kor::Trajectory trajectory = Kor::sampleTrajectory(model, kBudget, &skipped);
    check(trajectory.poses.capacity() <= kBudget);
    check(trajectory.poses.size() == trajectory.states.size());
    check(skipped.unsampleable + skipped.overLimit <= model.intervals.size());
    // Whatever the file holds, every sample has a finite time.
    for (const Kor::TrajectoryState& state : trajectory.states) {
        check(std::isfinite(state.time));
    }
    return 0;
}
