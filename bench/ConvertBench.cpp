// orvane-convert on camera trajectories of 10^6 poses, against the straightforward converter
// of the same file: std::getline per line, an std::istringstream per line for the numbers and
// std::ofstream with 17 digits for the output, with the same pose mathematics.
//   tum    TUM text (seconds with six decimals, blanks between)
//   euroc  EuRoC CSV (nanosecond stamps, commas between, 17 columns)
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iomanip>
#include <sstream>
#include <stdexcept>
#include <string>

#include "bench/support/RatioMain.h"
#include "tools/orvane-convert/ConvertFile.h"

namespace {

using namespace OrvaneConvert;

// A camera trajectory of `poses` poses in a temporary file, removed at exit.
class CameraFile {
public:
    CameraFile(InputFormat format, std::int64_t poses) : mFormat(format), mPoses(poses) {
        char pattern[] = "/tmp/orvane-bench-camera-XXXXXX";
        const int fd = ::mkstemp(pattern);
        if (fd < 0) {
            throw std::runtime_error("mkstemp failed");
        }
        ::close(fd);
        mPath = pattern;
        mOutput = mPath + ".txt";
        std::FILE* out = std::fopen(pattern, "w");
        std::fputs(format == InputFormat::Tum ? "# timestamp tx ty tz qx qy qz qw\n"
                                              : "#timestamp,p_x,p_y,p_z,q_w,q_x,q_y,q_z,...\n",
                   out);
        for (std::int64_t k = 0; k < poses; ++k) {
            // A helix, turning about a tilted axis.
            const double angle = 0.001 * static_cast<double>(k);
            const double s = std::sin(angle / 2), c = std::cos(angle / 2);
            const double p[3] = {2 * std::cos(angle), 2 * std::sin(angle), 1e-4 * k};
            if (format == InputFormat::Tum) {
                std::fprintf(out, "%.6f %.6f %.6f %.6f %.9f %.9f %.9f %.9f\n",
                             1305031102.175304 + 0.01 * k, p[0], p[1], p[2], 0.0, 0.6 * s, 0.8 * s,
                             c);
            } else {
                std::fprintf(out,
                             "%lld,%.6f,%.6f,%.6f,%.6f,%.6f,%.6f,%.6f,0.1,-0.2,0.3,-0.002,0.02,"
                             "0.08,-0.02,0.1,0.07\n",
                             1403636579758555392LL + 5000000LL * k, p[0], p[1], p[2], c, 0.0,
                             0.6 * s, 0.8 * s);
            }
        }
        std::fclose(out);
    }
    ~CameraFile() {
        std::remove(mPath.c_str());
        std::remove(mOutput.c_str());
    }
    CameraFile(const CameraFile&) = delete;
    CameraFile& operator=(const CameraFile&) = delete;

    InputFormat format() const { return mFormat; }
    const std::string& path() const { return mPath; }
    const std::string& output() const { return mOutput; }
    std::int64_t poses() const { return mPoses; }

private:
    InputFormat mFormat;
    std::int64_t mPoses;
    std::string mPath;
    std::string mOutput;
};

const CameraFile& fileOf(InputFormat format) {
    static const CameraFile tum(InputFormat::Tum, OrvaneBench::benchSize(1'000'000));
    static const CameraFile euroc(InputFormat::Euroc, OrvaneBench::benchSize(1'000'000));
    return format == InputFormat::Tum ? tum : euroc;
}

void finish(benchmark::State& state, const CameraFile& file, std::int64_t poses) {
    if (poses != file.poses()) {
        state.SkipWithError("wrong pose count");
    }
    state.SetItemsProcessed(state.iterations() * file.poses());
}

// The obvious converter: reads each line through a string stream and writes through a stream.
std::int64_t streamConvert(const CameraFile& file) {
    std::ifstream in(file.path());
    std::ofstream out(file.output());
    out << std::setprecision(17);
    std::string line;
    std::int64_t poses = 0;
    double first = 0;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        double time, p[3], q[4];  // q as w, x, y, z
        if (file.format() == InputFormat::Tum) {
            std::istringstream fields(line);
            fields >> time >> p[0] >> p[1] >> p[2] >> q[1] >> q[2] >> q[3] >> q[0];
            if (!fields) {
                return -1;
            }
        } else {
            for (char& c : line) {
                c = c == ',' ? ' ' : c;
            }
            std::istringstream fields(line);
            long long nanoseconds;
            fields >> nanoseconds >> p[0] >> p[1] >> p[2] >> q[0] >> q[1] >> q[2] >> q[3];
            if (!fields) {
                return -1;
            }
            time = static_cast<double>(nanoseconds) * 1e-9;
        }
        first = poses == 0 ? time : first;
        CameraPose camera;
        camera.position = {p[0], p[1], p[2]};
        std::string reason;
        OrvanePose pose;
        if (!quaternionRotation(q[0], q[1], q[2], q[3], camera.rotation, reason) ||
            !worldToBody(time - first, camera, pose, reason)) {
            return -1;
        }
        out << pose.time;
        for (int row = 0; row < 3; ++row) {
            out << ' ' << pose.R[3 * row] << ' ' << pose.R[3 * row + 1] << ' '
                << pose.R[3 * row + 2] << ' ' << pose.t[row];
        }
        out << '\n';
        ++poses;
    }
    return out ? poses : -1;
}

void baseline(benchmark::State& state, InputFormat format) {
    const CameraFile& file = fileOf(format);
    std::int64_t poses = 0;
    for (auto _ : state) {
        poses = streamConvert(file);
    }
    finish(state, file, poses);
}

void orvaneConvert(benchmark::State& state, InputFormat format) {
    const CameraFile& file = fileOf(format);
    ConvertOptions options;
    options.conversion.format = format;
    options.input = file.path();
    options.output = file.output();
    std::int64_t poses = 0;
    for (auto _ : state) {
        const FileConversion result = convertFile(options);
        poses = result.written ? static_cast<std::int64_t>(result.report.poses) : -1;
    }
    finish(state, file, poses);
}

}  // namespace

BENCHMARK_CAPTURE(baseline, tum, InputFormat::Tum)
    ->Name("tum/baseline")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(orvaneConvert, tum, InputFormat::Tum)
    ->Name("tum/convertFile")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(baseline, euroc, InputFormat::Euroc)
    ->Name("euroc/baseline")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(orvaneConvert, euroc, InputFormat::Euroc)
    ->Name("euroc/convertFile")
    ->Unit(benchmark::kMillisecond);
