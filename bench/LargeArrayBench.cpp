// Filling a fresh list of 10^6 poses (96 MB), as reading a long recording does: "baseline"
// reserves and fills it; "reserveLarge" also asks for huge pages, so that the first touches
// fault once per 2 MiB instead of once per 4 KiB.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "PlatformLib/LargeArray.h"
#include "analysis/Trajectory.h"
#include "bench/support/RatioMain.h"

namespace {

template <bool advised>
void fillPoses(benchmark::State& state) {
    const auto count = static_cast<std::size_t>(OrvaneBench::benchSize(1000000));
    for (auto _ : state) {
        std::vector<Kor::PoseSample> poses;
        if (advised) {
            Kor::reserveLarge(poses, count);
        } else {
            poses.reserve(count);
        }
        for (std::size_t i = 0; i < count; ++i) {
            Kor::PoseSample& pose = poses.emplace_back();
            pose.position[0] = static_cast<double>(i);
        }
        benchmark::DoNotOptimize(poses.data());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(count));
}

}  // namespace

BENCHMARK(fillPoses<false>)->Name("fillPoses/baseline")->Unit(benchmark::kMillisecond);
BENCHMARK(fillPoses<true>)->Name("fillPoses/reserveLarge")->Unit(benchmark::kMillisecond);
