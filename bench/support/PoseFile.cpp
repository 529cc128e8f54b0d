#include "bench/support/PoseFile.h"

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <stdexcept>

namespace OrvaneBench {

PoseFile::PoseFile(int digits, std::int64_t records) : mRecords(records) {
    char pattern[] = "/tmp/orvane-bench-poses-XXXXXX.txt";
    const int suffix = 4;
    if (digits == 0) {
        std::snprintf(pattern + sizeof pattern - 1 - suffix, suffix + 1, ".bin");
    }
    const int fd = ::mkstemps(pattern, suffix);
    if (fd < 0) {
        throw std::runtime_error("mkstemps failed");
    }
    ::close(fd);
    mPath = pattern;
    std::FILE* out = std::fopen(pattern, "wb");
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
        const double time = static_cast<double>(i) / 120.0;
        const double t[3] = {3.0 * normal(random), 3.0 * normal(random), 3.0 * normal(random)};
        if (digits == 0) {
            std::fwrite(&time, 8, 1, out);
            std::fwrite(r, 8, 9, out);
            std::fwrite(t, 8, 3, out);
            continue;
        }
        std::fprintf(out, format, time);
        for (int row = 0; row < 3; ++row) {
            for (int col = 0; col < 3; ++col) {
                std::fputc(' ', out);
                std::fprintf(out, format, r[3 * row + col]);
            }
            std::fputc(' ', out);
            std::fprintf(out, format, t[row]);
        }
        std::fputc('\n', out);
    }
    std::fclose(out);
    mBytes = static_cast<std::int64_t>(std::filesystem::file_size(mPath));
}

PoseFile::~PoseFile() {
    std::filesystem::remove(mPath);
}

}  // namespace OrvaneBench
