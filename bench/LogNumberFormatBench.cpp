// Writing a dynamics log of 10^6 states (time in width 16, then 12 twist components in width
// 19, each followed by a space, 12 significant digits, flushed per line) with writeDynamicsLog,
// against std::ofstream with setw/setprecision and std::endl.
// A second group times the formatting alone, into memory.
#include "analysis/DynamicsLog.h"
#include "analysis/LogNumberFormat.h"
#include "bench/support/RatioMain.h"

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int kValuesPerState = 12;
constexpr int kLineRoom = 16 + kValuesPerState * 20 + 64;

using State = Kor::TrajectoryState;

// Velocities and accelerations of a body moving at a few metres per second, some exact zeros.
const std::vector<State>& states() {
    static const std::vector<State> all = [] {
        std::vector<State> s(static_cast<std::size_t>(OrvaneBench::benchSize(1'000'000)));
        std::mt19937_64 random(11);
        std::normal_distribution<double> normal;
        for (std::size_t i = 0; i < s.size(); ++i) {
            s[i].time = static_cast<double>(i + 2) / 120.0;
            for (int k = 0; k < 6; ++k) {
                s[i].velocity[k] = i % 97 == 0 ? 0.0 : normal(random) * 2.0;
                s[i].acceleration[k] = i % 97 == 0 ? 0.0 : normal(random) * 40.0;
            }
        }
        return s;
    }();
    return all;
}

// The input path whose log is written, and the log's path.
std::string inputPath() {
    static const std::string path = (std::filesystem::temp_directory_path() /
                                     ("orvane-bench-" + std::to_string(::getpid()) + ".dat"))
                                        .string();
    return path;
}

std::string logPath() {
    static const std::string path = Kor::dynamicsLogPath(inputPath());
    return path;
}

// Every value of these states fits its field: 257 bytes a line with the line feed.
constexpr std::int64_t kLineBytes = 16 + kValuesPerState * 20 + 1;

void finish(benchmark::State& state) {
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(states().size()));
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(states().size()) *
                            kLineBytes);
    std::filesystem::remove(logPath());
}

void streamLog(benchmark::State& state) {
    for (auto _ : state) {
        std::ofstream out(logPath(), std::ios::trunc);
        for (const State& s : states()) {
            out << std::setw(16) << std::setprecision(12) << s.time;
            for (double v : s.velocity) {
                out << std::setw(19) << std::setprecision(12) << v << ' ';
            }
            for (double v : s.acceleration) {
                out << std::setw(19) << std::setprecision(12) << v << ' ';
            }
            out << std::endl;
        }
    }
    finish(state);
}

std::size_t formatLine(char* line, const State& s) {
    char* p = Kor::formatLogNumber(line, s.time, 16);
    for (double v : s.velocity) {
        p = Kor::formatLogNumber(p, v, 19);
        *p++ = ' ';
    }
    for (double v : s.acceleration) {
        p = Kor::formatLogNumber(p, v, 19);
        *p++ = ' ';
    }
    *p++ = '\n';
    return static_cast<std::size_t>(p - line);
}

void writerLog(benchmark::State& state) {
    bool written = true;
    for (auto _ : state) {
        written &= Kor::writeDynamicsLog(states(), inputPath()).outcome ==
                   Kor::DynamicsLogOutcome::Written;
    }
    if (!written || std::filesystem::file_size(logPath()) != states().size() * kLineBytes) {
        state.SkipWithError("log cut short");
    }
    finish(state);
}

void streamFormat(benchmark::State& state) {
    std::ostringstream out;
    for (auto _ : state) {
        for (const State& s : states()) {
            out.str("");
            out << std::setw(16) << std::setprecision(12) << s.time;
            for (double v : s.velocity) {
                out << std::setw(19) << std::setprecision(12) << v << ' ';
            }
            for (double v : s.acceleration) {
                out << std::setw(19) << std::setprecision(12) << v << ' ';
            }
            out << '\n';
            benchmark::DoNotOptimize(static_cast<std::streamoff>(out.tellp()));
        }
    }
    finish(state);
}

void formatterFormat(benchmark::State& state) {
    char line[kLineRoom];
    for (auto _ : state) {
        for (const State& s : states()) {
            benchmark::DoNotOptimize(formatLine(line, s));
            benchmark::ClobberMemory();
        }
    }
    finish(state);
}

}  // namespace

BENCHMARK(streamLog)->Name("dynamicsLog/baseline")->Unit(benchmark::kMillisecond);
BENCHMARK(writerLog)->Name("dynamicsLog/writeDynamicsLog")->Unit(benchmark::kMillisecond);
BENCHMARK(streamFormat)->Name("logLineFormat/baseline")->Unit(benchmark::kMillisecond);
BENCHMARK(formatterFormat)->Name("logLineFormat/formatter")->Unit(benchmark::kMillisecond);
