// Reading pose files of 10^6 records (text with 17 significant digits, and binary):
//   poseText        PoseFileReader against `std::ifstream >> double` 13 times a record, each
//                   rotation then made orthonormal: the straightforward text reader;
//   poseTextVsRead  PoseFileReader against merely reading the file into memory;
//   readTrajectory  the whole readTrajectoryFile (poses, finite-difference states) against
//                   the reader alone;
//   poseBinary      PoseFileReader against std::ifstream::read of each whole record;
//   readBinary      readTrajectoryFile of the binary file against the reader alone;
//   textLoad        the text file into poses as a straightforward loader does it (stream
//                   extraction, each rotation made orthonormal, a list that grows as it goes)
//                   against readTrajectoryFile without states;
//   run             orvane on the text file, stopped right after reading it (a missing second
//                   path ends the run before the window), with and without --log_dynamics; the
//                   counter peak_MB is the most memory the run held. ORVANE_BEFORE_EXE names
//                   another build of orvane to run alike (before_*), for a comparison.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "analysis/Matrix3.h"
#include "analysis/Orthonormal.h"
#include "app/PoseFileReader.h"
#include "app/ReadTrajectoryFile.h"
#include "bench/support/PoseFile.h"
#include "bench/support/RatioMain.h"
#include "tests/support/Process.h"

namespace {

using OrvaneBench::PoseFile;

const PoseFile& textFile() {
    static const PoseFile file(17, OrvaneBench::benchSize(1'000'000));
    return file;
}

const PoseFile& binaryFile() {
    static const PoseFile file(0, OrvaneBench::benchSize(1'000'000));
    return file;
}

void finish(benchmark::State& state, const PoseFile& file, std::int64_t records) {
    if (records != file.records()) {
        state.SkipWithError("wrong record count");
    }
    state.SetItemsProcessed(state.iterations() * file.records());
    state.SetBytesProcessed(state.iterations() * file.bytes());
}

// A record as `std::ifstream >> double` reads it, 13 numbers.
bool extractRecord(std::istream& in, double& time, Kor::Mat3& R, Kor::Vec3& t) {
    in >> time;
    for (int row = 0; row < 3; ++row) {
        in >> R[3 * row] >> R[3 * row + 1] >> R[3 * row + 2] >> t[row];
    }
    return !in.fail();
}

void streamText(benchmark::State& state) {
    const PoseFile& file = textFile();
    std::int64_t records = 0;
    for (auto _ : state) {
        std::ifstream in(file.path());
        records = 0;
        double time;
        Kor::Mat3 R;
        Kor::Vec3 t;
        while (extractRecord(in, time, R, t)) {
            Kor::orthonormalise(R);
            benchmark::DoNotOptimize(R);
            ++records;
        }
    }
    finish(state, file, records);
}

void reader(benchmark::State& state, const PoseFile& file) {
    std::int64_t records = 0;
    for (auto _ : state) {
        Kor::PoseFileReader reader;
        reader.open(file.path());
        records = 0;
        double time;
        Kor::Mat3 R;
        Kor::Vec3 t;
        while (reader.readNext(time, R, t)) {
            benchmark::DoNotOptimize(R);
            ++records;
        }
    }
    finish(state, file, records);
}

void readerText(benchmark::State& state) {
    reader(state, textFile());
}

void readerBinary(benchmark::State& state) {
    reader(state, binaryFile());
}

void readIntoMemory(benchmark::State& state) {
    const PoseFile& file = textFile();
    for (auto _ : state) {
        std::ifstream in(file.path(), std::ios::binary);
        std::string content(static_cast<std::size_t>(file.bytes()), '\0');
        in.read(content.data(), static_cast<std::streamsize>(content.size()));
        benchmark::DoNotOptimize(content.data());
    }
    finish(state, file, file.records());
}

void wholeFile(benchmark::State& state, const PoseFile& file,
               Kor::States states = Kor::States::Keep) {
    std::int64_t records = 0;
    for (auto _ : state) {
        Kor::Trajectory trajectory = Kor::readTrajectoryFile(file.path(), states);
        records = static_cast<std::int64_t>(trajectory.poses.size());
        benchmark::DoNotOptimize(trajectory.states.data());
        state.PauseTiming();
        trajectory = Kor::Trajectory();  // releasing the records is not part of reading
        state.ResumeTiming();
    }
    finish(state, file, records);
}

void wholeText(benchmark::State& state) {
    wholeFile(state, textFile());
}

// What a run without --log_dynamics reads: the poses alone.
void wholeTextPoses(benchmark::State& state) {
    wholeFile(state, textFile(), Kor::States::Skip);
}

void wholeBinary(benchmark::State& state) {
    wholeFile(state, binaryFile());
}

// The same with memory that the heap keeps between runs (no mmap, no trimming): what reading
// costs without the operating system's price of handing out fresh pages, which dominates on
// machines where a page fault is slow.
void wholeWarm(benchmark::State& state, const PoseFile& file) {
    mallopt(M_MMAP_MAX, 0);
    mallopt(M_TRIM_THRESHOLD, -1);
    Kor::readTrajectoryFile(file.path());  // fault the heap in once
    wholeFile(state, file);
    mallopt(M_MMAP_MAX, 65536);
    mallopt(M_TRIM_THRESHOLD, 128 * 1024);
}

void wholeTextWarm(benchmark::State& state) {
    wholeWarm(state, textFile());
}

void wholeBinaryWarm(benchmark::State& state) {
    wholeWarm(state, binaryFile());
}

void streamBinary(benchmark::State& state) {
    const PoseFile& file = binaryFile();
    std::int64_t records = 0;
    for (auto _ : state) {
        std::ifstream in(file.path(), std::ios::binary);
        records = 0;
        std::array<double, 13> record;
        while (in.read(reinterpret_cast<char*>(record.data()), sizeof record)) {
            benchmark::DoNotOptimize(record);
            ++records;
        }
    }
    finish(state, file, records);
}

void streamTextPoses(benchmark::State& state) {
    const PoseFile& file = textFile();
    std::int64_t records = 0;
    for (auto _ : state) {
        std::ifstream in(file.path());
        std::vector<Kor::PoseSample> poses;
        double time;
        Kor::Mat3 R;
        Kor::Vec3 t;
        while (extractRecord(in, time, R, t)) {
            Kor::orthonormalise(R);
            poses.push_back({Kor::negate(Kor::matTVec(R, t)), R});
        }
        records = static_cast<std::int64_t>(poses.size());
        benchmark::DoNotOptimize(poses.data());
        state.PauseTiming();
        poses = {};
        state.ResumeTiming();
    }
    finish(state, file, records);
}

void orvaneRun(benchmark::State& state, const std::string& exe, bool logDynamics) {
    const PoseFile& file = textFile();
    std::vector<std::string> argv{exe};
    if (logDynamics) {
        argv.push_back("--log_dynamics");
    }
    argv.push_back(file.path());
    argv.push_back("/nonexistent/path");
    const std::filesystem::path path(file.path());
    const auto log = path.parent_path() / (path.stem().string() + "Dynamics.txt");
    long peak = 0;
    for (auto _ : state) {
        const OrvaneTest::ProcessResult result = OrvaneTest::runProcess(argv);
        if (result.status != 1) {
            state.SkipWithError("orvane did not stop at the missing path");
        }
        peak = std::max(peak, result.peakResidentKiB);
        state.PauseTiming();
        std::filesystem::remove(log);
        state.ResumeTiming();
    }
    state.counters["peak_MB"] = static_cast<double>(peak) / 1024.0;
    finish(state, file, file.records());
}

void thisRun(benchmark::State& state) {
    orvaneRun(state, ORVANE_EXE, false);
}

void thisRunLogging(benchmark::State& state) {
    orvaneRun(state, ORVANE_EXE, true);
}

// Runs of an earlier build, when one is named.
const bool kRegisteredBefore = [] {
    const char* before = std::getenv("ORVANE_BEFORE_EXE");
    if (before == nullptr) {
        return false;
    }
    const std::string exe = before;
    for (const bool logDynamics : {false, true}) {
        benchmark::RegisterBenchmark(
            logDynamics ? "run/before_log_dynamics" : "run/before",
            [exe, logDynamics](benchmark::State& state) { orvaneRun(state, exe, logDynamics); })
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->Iterations(3);
    }
    return true;
}();

}  // namespace

BENCHMARK(streamText)->Name("poseText/baseline")->Unit(benchmark::kMillisecond);
BENCHMARK(readerText)->Name("poseText/reader")->Unit(benchmark::kMillisecond);
BENCHMARK(readIntoMemory)->Name("poseTextVsRead/baseline")->Unit(benchmark::kMillisecond);
BENCHMARK(readerText)->Name("poseTextVsRead/reader")->Unit(benchmark::kMillisecond);
BENCHMARK(readerText)->Name("readTrajectory/baseline")->Unit(benchmark::kMillisecond);
BENCHMARK(wholeText)->Name("readTrajectory/readTrajectoryFile")->Unit(benchmark::kMillisecond);
BENCHMARK(wholeTextPoses)
    ->Name("readTrajectory/readTrajectoryFilePosesOnly")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(wholeTextWarm)
    ->Name("readTrajectory/readTrajectoryFileWarm")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(streamBinary)->Name("poseBinary/baseline")->Unit(benchmark::kMillisecond);
BENCHMARK(readerBinary)->Name("poseBinary/reader")->Unit(benchmark::kMillisecond);
BENCHMARK(readerBinary)->Name("readBinary/baseline")->Unit(benchmark::kMillisecond);
BENCHMARK(wholeBinary)->Name("readBinary/readTrajectoryFile")->Unit(benchmark::kMillisecond);
BENCHMARK(wholeBinaryWarm)
    ->Name("readBinary/readTrajectoryFileWarm")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(streamTextPoses)->Name("textLoad/baseline")->Unit(benchmark::kMillisecond);
BENCHMARK(wholeTextPoses)->Name("textLoad/readTrajectoryFile")->Unit(benchmark::kMillisecond);
// The benchmark's own thread only waits for the run: real time it is.
BENCHMARK(thisRun)
    ->Name("run/baseline")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);
BENCHMARK(thisRunLogging)
    ->Name("run/log_dynamics")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);
