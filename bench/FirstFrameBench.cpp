// Time from starting orvane on a text pose file of 10^6 records (a smooth helix, as a
// recording would be) to its first frame on the screen, on a private X server with Mesa. The
// baseline is the same run stopped right after the file is read (a missing second path ends it
// before the window), so the difference is what the window, the GL context and the first frame add.
// ORVANE_BEFORE_EXE names an earlier build of orvane to time alike (startBefore).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <memory>
#include <string>

#include "bench/support/RatioMain.h"
#include "tests/support/Process.h"
#include "tests/support/TempDir.h"
#include "tests/support/Xvfb.h"

namespace {

using Clock = std::chrono::steady_clock;

// Records of a body turning about z while it climbs a helix, 17 significant digits.
class HelixFile {
public:
    explicit HelixFile(std::int64_t records)
        : mPath((mDir.path() / "helix.txt").string()), mRecords(records) {
        std::FILE* out = std::fopen(mPath.c_str(), "w");
        for (std::int64_t i = 0; i < records; ++i) {
            const double time = 0.01 * static_cast<double>(i);
            const double angle = 0.5 * time, c = std::cos(angle), s = std::sin(angle);
            const double p[3] = {0.5 * c, 0.5 * s, 0.001 * time - 0.5};
            // R = Rz(angle) from world to body, t = -R p.
            const double R[9] = {c, s, 0, -s, c, 0, 0, 0, 1};
            double t[3];
            for (int row = 0; row < 3; ++row) {
                t[row] = -(R[3 * row] * p[0] + R[3 * row + 1] * p[1] + R[3 * row + 2] * p[2]);
            }
            std::fprintf(out, "%.17g", time);
            for (int row = 0; row < 3; ++row) {
                std::fprintf(out, " %.17g %.17g %.17g %.17g", R[3 * row], R[3 * row + 1],
                             R[3 * row + 2], t[row]);
            }
            std::fputc('\n', out);
        }
        std::fclose(out);
    }
    const std::string& path() const { return mPath; }
    std::int64_t records() const { return mRecords; }

private:
    OrvaneTest::TempDir mDir;
    std::string mPath;
    std::int64_t mRecords;
};

struct Setup {
    HelixFile file{OrvaneBench::benchSize(1000000)};
    OrvaneTest::XvfbServer server;
};

Setup& setup() {
    static Setup s;
    return s;
}

void readOnly(benchmark::State& state, const std::string& exe) {
    Setup& s = setup();
    for (auto _ : state) {
        const auto start = Clock::now();
        const auto result = OrvaneTest::runProcess({exe, s.file.path(), "/nonexistent/path"});
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
        if (result.status != 1) {
            state.SkipWithError("orvane did not stop at the missing path");
        }
    }
    state.SetItemsProcessed(state.iterations() * s.file.records());
}

void firstFrame(benchmark::State& state, const std::string& exe) {
    Setup& s = setup();
    if (s.server.display().empty()) {
        state.SkipWithError("Xvfb did not start");
        return;
    }
    OrvaneTest::XSession x(s.server.display());
    OrvaneTest::ProcessOptions options;
    options.setEnv = {{"DISPLAY", s.server.display()}};
    for (auto _ : state) {
        const auto start = Clock::now();
        auto run = std::async(std::launch::async, [&] {
            return OrvaneTest::runProcess({exe, s.file.path()}, options);
        });
        const unsigned long window = x.waitForWindow("Orvane", std::chrono::seconds(120));
        // The first trajectory is red; its first pixels mark the first presented frame.
        const bool shown = window != 0 && OrvaneTest::waitFor([&] {
                               return x.capture(window).count({255, 0, 0}) > 0;
                           });
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
        if (window != 0) {
            x.sendDeleteWindow(window);
        }
        const auto result = run.get();
        if (!shown || result.status != 0) {
            state.SkipWithError("no frame with the trajectory appeared");
        }
    }
    state.SetItemsProcessed(state.iterations() * s.file.records());
}

void BM_ReadOnly(benchmark::State& state) {
    readOnly(state, ORVANE_EXE);
}

void BM_FirstFrame(benchmark::State& state) {
    firstFrame(state, ORVANE_EXE);
}

BENCHMARK(BM_ReadOnly)
    ->Name("start/baseline")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK(BM_FirstFrame)
    ->Name("start/first_frame")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

// The same of an earlier build, when ORVANE_BEFORE_EXE names one.
const bool kRegisteredBefore = [] {
    const char* before = std::getenv("ORVANE_BEFORE_EXE");
    if (before == nullptr) {
        return false;
    }
    const std::string exe = before;
    benchmark::RegisterBenchmark("startBefore/baseline",
                                 [exe](benchmark::State& state) { readOnly(state, exe); })
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(3);
    benchmark::RegisterBenchmark("startBefore/first_frame",
                                 [exe](benchmark::State& state) { firstFrame(state, exe); })
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(3);
    return true;
}();

}  // namespace
