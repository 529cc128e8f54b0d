#pragma once
// How far runs of consecutive samples stray from the chord between their first and last
// sample, in levels: level 0 has one run per block of kBlockSize samples, every level above
// one per pair of runs of the level below, up to a single run of all samples. A smooth
// trajectory stays close to its chords, so a camera can tell which pixels a long run covers
// from its two ends, without visiting its samples.

#include <cstddef>
#include <span>
#include <vector>

#include "view/TrajectoryPiece.h"

namespace Kor {

class SampleHierarchy {
public:
    static constexpr std::size_t kBlockShift = 3;
    static constexpr std::size_t kBlockSize = std::size_t{1} << kBlockShift;

    SampleHierarchy() = default;
    explicit SampleHierarchy(const TrajectoryPiece& piece);

    std::size_t sampleCount() const { return mSampleCount; }
    // 0 without samples; otherwise the top level, levelCount() - 1, has one run.
    std::size_t levelCount() const { return mLevelStarts.empty() ? 0 : mLevelStarts.size() - 1; }
    std::size_t runCount(std::size_t k) const { return mLevelStarts[k + 1] - mLevelStarts[k]; }
    // Every drawn position of run i of level k lies within this distance of the segment between
    // the drawn positions of its first and last sample, also as a vertex shader computes them
    // in float. Infinite when one of them is not finite.
    float thickness(std::size_t k, std::size_t i) const { return mThickness[mLevelStarts[k] + i]; }
    // The drawn positions either side of where run i of level k >= 1 divides into its two
    // parts (a run with one part does not divide), kept here so that a camera going down the
    // levels reads them from one place.
    struct Split {
        Vec3f before;  // the last sample of the first part
        Vec3f after;   // the first sample of the second part
    };
    const Split& split(std::size_t k, std::size_t i) const {
        return mSplits[mLevelStarts[k] - mLevelStarts[1] + i];
    }
    // The samples [first, end) of run i of level k.
    std::size_t firstSample(std::size_t k, std::size_t i) const { return i << (k + kBlockShift); }
    std::size_t endSample(std::size_t k, std::size_t i) const {
        const std::size_t end = (i + 1) << (k + kBlockShift);
        return end < mSampleCount ? end : mSampleCount;
    }

private:
    std::vector<float> mThickness;  // level 0 first
    std::vector<Split> mSplits;     // level 1 first
    std::vector<std::size_t> mLevelStarts;
    std::size_t mSampleCount = 0;
};

}  // namespace Kor
