#pragma once
// The memory that the samples of all trajectories of one run may take together. Every spline
// file is sampled within what the files before it left, so a command line of many long or
// damaged files ends in warnings instead of exhausting the machine.

#include <algorithm>
#include <cstdint>

namespace Kor {

class SampleBudget {
public:
    // No bound.
    SampleBudget() = default;
    explicit SampleBudget(std::uint64_t bytes) : mBytes(bytes) {}
    // A quarter of the memory the process may hold (MemoryLimit); no bound when that is unknown.
    static SampleBudget ofThisProcess();

    std::uint64_t bytes() const { return mBytes; }
    // How many samples of `bytesPerSample` bytes each fit in what is left.
    std::uint64_t samplesLeft(std::uint64_t bytesPerSample) const {
        return (mBytes - mTaken) / bytesPerSample;
    }
    // Memory that stays taken until the end of the run (the poses kept for the window). Taking
    // more than is left leaves nothing for the files after it.
    void take(std::uint64_t bytes) { mTaken += std::min(bytes, mBytes - mTaken); }

private:
    std::uint64_t mBytes = UINT64_MAX;
    std::uint64_t mTaken = 0;  // never above mBytes
};

}  // namespace Kor
