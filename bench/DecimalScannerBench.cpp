// Reading the numbers of a text pose file (10^6 records of 13 numbers) with DecimalScanner,
// against `std::ifstream >> double` and against merely reading the file into memory.
//
// Two files: one written with 17 significant digits (what a lossless writer produces) and one
// with the stream's default 6.
#include "bench/support/PoseFile.h"
#include "bench/support/RatioMain.h"
#include "serialize/DecimalScanner.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int kNumbersPerRecord = 13;

using OrvaneBench::PoseFile;

const PoseFile& poseFile(int digits) {
    static PoseFile full(17, OrvaneBench::benchSize(1'000'000));
    static PoseFile shortDigits(6, OrvaneBench::benchSize(1'000'000));
    return digits == 17 ? full : shortDigits;
}

std::int64_t numbersOf(const PoseFile& file) {
    return file.records() * kNumbersPerRecord;
}

void finish(benchmark::State& state, const PoseFile& file, std::int64_t numbers) {
    if (numbers != numbersOf(file)) {
        state.SkipWithError("wrong number count");
    }
    state.SetItemsProcessed(state.iterations() * numbersOf(file));
    state.SetBytesProcessed(state.iterations() * file.bytes());
}

void streamExtraction(benchmark::State& state, int digits) {
    const PoseFile& file = poseFile(digits);
    std::int64_t numbers = 0;
    for (auto _ : state) {
        std::ifstream in(file.path());
        numbers = 0;
        double sum = 0;
        for (double value; in >> value; ++numbers) {
            sum += value;
        }
        benchmark::DoNotOptimize(sum);
    }
    finish(state, file, numbers);
}

void scanner(benchmark::State& state, int digits) {
    const PoseFile& file = poseFile(digits);
    std::int64_t numbers = 0;
    for (auto _ : state) {
        std::ifstream in(file.path());
        Kor::serialize::DecimalScanner scan(*in.rdbuf());
        numbers = 0;
        double sum = 0;
        for (double value; scan.extract(value); ++numbers) {
            sum += value;
        }
        benchmark::DoNotOptimize(sum);
    }
    finish(state, file, numbers);
}

// The whole file in one string, as a reader that loads before parsing would.
void readIntoMemory(benchmark::State& state, int digits) {
    const PoseFile& file = poseFile(digits);
    for (auto _ : state) {
        std::ifstream in(file.path(), std::ios::binary);
        std::string content(static_cast<std::size_t>(file.bytes()), '\0');
        in.read(content.data(), static_cast<std::streamsize>(content.size()));
        benchmark::DoNotOptimize(content.data());
    }
    finish(state, file, numbersOf(file));
}

// The same chunks the scanner reads, with nothing done to them: the I/O floor.
void readChunks(benchmark::State& state, int digits) {
    const PoseFile& file = poseFile(digits);
    std::vector<char> chunk(Kor::serialize::DecimalScanner::kDefaultChunkSize);
    for (auto _ : state) {
        std::ifstream in(file.path(), std::ios::binary);
        std::int64_t total = 0;
        while (const auto n =
                   in.rdbuf()->sgetn(chunk.data(), static_cast<std::streamsize>(chunk.size()))) {
            total += n;
        }
        benchmark::DoNotOptimize(total);
    }
    finish(state, file, numbersOf(file));
}

}  // namespace

BENCHMARK_CAPTURE(streamExtraction, 17, 17)
    ->Name("poseText17/baseline")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(scanner, 17, 17)->Name("poseText17/scanner")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(readIntoMemory, 17, 17)
    ->Name("poseText17VsRead/baseline")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(readChunks, 17, 17)
    ->Name("poseText17VsRead/chunkedRead")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(scanner, 17, 17)->Name("poseText17VsRead/scanner")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(streamExtraction, 6, 6)
    ->Name("poseText6/baseline")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(scanner, 6, 6)->Name("poseText6/scanner")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(readIntoMemory, 6, 6)
    ->Name("poseText6VsRead/baseline")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(scanner, 6, 6)->Name("poseText6VsRead/scanner")->Unit(benchmark::kMillisecond);
