// Reading the numbers of a text pose file (10^6 records of 13 numbers) with DecimalScanner,
// against `std::ifstream >> double` and against merely reading the file into memory.
//
// Two files: one written with 17 significant digits (what a lossless writer produces) and one
// with the stream's default 6.
#include "bench/support/RatioMain.h"
#include "serialize/DecimalScanner.h"

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr int kNumbersPerRecord = 13;

// A pose file written once per run and removed at exit.
class PoseFile {
public:
    PoseFile(int digits, std::int64_t records) : mNumbers(records * kNumbersPerRecord) {
        char pattern[] = "/tmp/orvane-bench-poses-XXXXXX";
        const int fd = ::mkstemp(pattern);
        if (fd < 0) {
            throw std::runtime_error("mkstemp failed");
        }
        ::close(fd);
        mPath = pattern;
        std::FILE* out = std::fopen(pattern, "w");
        std::mt19937_64 random(7);
        std::normal_distribution<double> normal;
        char format[8];
        std::snprintf(format, sizeof format, "%%.%dg", digits);
        for (std::int64_t i = 0; i < records; ++i) {
            // A rotation from a random unit quaternion, a translation of a few metres.
            double q[4];
            double norm = 0;
            for (double& c : q) {
                c = normal(random);
                norm += c * c;
            }
            norm = std::sqrt(norm);
            const double w = q[0] / norm, x = q[1] / norm, y = q[2] / norm, z = q[3] / norm;
            const double r[9] = {
                1 - 2 * (y * y + z * z), 2 * (x * y - z * w),     2 * (x * z + y * w),
                2 * (x * y + z * w),     1 - 2 * (x * x + z * z), 2 * (y * z - x * w),
                2 * (x * z - y * w),     2 * (y * z + x * w),     1 - 2 * (x * x + y * y)};
            std::fprintf(out, format, static_cast<double>(i) / 120.0);
            for (int row = 0; row < 3; ++row) {
                for (int col = 0; col < 3; ++col) {
                    std::fputc(' ', out);
                    std::fprintf(out, format, r[3 * row + col]);
                }
                std::fputc(' ', out);
                std::fprintf(out, format, 3.0 * normal(random));
            }
            std::fputc('\n', out);
        }
        std::fclose(out);
        mBytes = static_cast<std::int64_t>(std::filesystem::file_size(mPath));
    }
    ~PoseFile() { std::filesystem::remove(mPath); }

    const std::string& path() const { return mPath; }
    std::int64_t numbers() const { return mNumbers; }
    std::int64_t bytes() const { return mBytes; }

private:
    std::string mPath;
    std::int64_t mNumbers;
    std::int64_t mBytes = 0;
};

const PoseFile& poseFile(int digits) {
    static PoseFile full(17, OrvaneBench::benchSize(1'000'000));
    static PoseFile shortDigits(6, OrvaneBench::benchSize(1'000'000));
    return digits == 17 ? full : shortDigits;
}

void finish(benchmark::State& state, const PoseFile& file, std::int64_t numbers) {
    if (numbers != file.numbers()) {
        state.SkipWithError("wrong number count");
    }
    state.SetItemsProcessed(state.iterations() * file.numbers());
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
    finish(state, file, file.numbers());
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
    finish(state, file, file.numbers());
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
