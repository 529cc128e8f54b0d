// Benchmark main with a ratio table.
//
// Benchmarks are named "<group>/<variant>"; the variant "baseline" is the straightforward
// implementation. After the usual report, every other variant of a group is printed with its
// time per item and how many times faster it ran than the baseline, both measured in this
// process, so that machine noise affects both sides alike.
//
// --smoke runs every benchmark once with tiny sizes (see benchSize()) and is what ctest uses.
#include "bench/support/RatioMain.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace OrvaneBench {
namespace {

bool gSmoke = false;

struct Measured {
    double nsPerItem = 0;
    double itemsPerSecond = 0;
    double bytesPerSecond = 0;
};

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const auto& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred) {
                continue;
            }
            std::string name = run.run_name.function_name;
            auto slash = name.find('/');
            if (slash == std::string::npos) {
                continue;
            }
            std::string group = name.substr(0, slash);
            std::string variant = name.substr(slash + 1) + run.run_name.args;
            Measured m;
            double seconds =
                run.GetAdjustedRealTime() * benchmark::GetTimeUnitMultiplier(run.time_unit);
            auto items = run.counters.find("items_per_second");
            if (items != run.counters.end() && items->second.value > 0) {
                m.itemsPerSecond = items->second.value;
                m.nsPerItem = 1e9 / m.itemsPerSecond;
            } else {
                m.nsPerItem = seconds * 1e9;
            }
            auto bytes = run.counters.find("bytes_per_second");
            if (bytes != run.counters.end()) {
                m.bytesPerSecond = bytes->second.value;
            }
            mGroups[group].push_back({variant, m});
        }
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("\n%-28s %-28s %14s %12s %12s %10s\n", "group", "variant", "ns/item",
                    "Mitems/s", "MB/s", "vs base");
        for (const auto& [group, variants] : mGroups) {
            const Measured* base = nullptr;
            for (const auto& [variant, m] : variants) {
                if (variant.rfind("baseline", 0) == 0) {
                    base = &m;
                }
            }
            for (const auto& [variant, m] : variants) {
                char ratio[32] = "-";
                if (base != nullptr && m.nsPerItem > 0) {
                    std::snprintf(ratio, sizeof ratio, "%.2fx", base->nsPerItem / m.nsPerItem);
                }
                std::printf("%-28s %-28s %14.2f %12.3f %12.1f %10s\n", group.c_str(),
                            variant.c_str(), m.nsPerItem, m.itemsPerSecond / 1e6,
                            m.bytesPerSecond / 1e6, ratio);
            }
        }
    }

private:
    std::map<std::string, std::vector<std::pair<std::string, Measured>>> mGroups;
};

}  // namespace

bool smokeRun() {
    return gSmoke;
}

int64_t benchSize(int64_t full) {
    return gSmoke ? (full < 1000 ? full : 1000) : full;
}

}  // namespace OrvaneBench

int main(int argc, char** argv) {
    std::vector<char*> args;
    static char minTime[] = "--benchmark_min_time=0";
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--smoke") == 0) {
            OrvaneBench::gSmoke = true;
            args.push_back(minTime);
        } else {
            args.push_back(argv[i]);
        }
    }
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    OrvaneBench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
