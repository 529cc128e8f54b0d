#include "analysis/DynamicsLog.h"

#include <cstdio>
#include <filesystem>
#include <memory>

#include "analysis/LogNumberFormat.h"

namespace Kor {

namespace {

constexpr int kTimeWidth = 16;
constexpr int kValueWidth = kLogNumberPrecision + 7;
// A line with every number at its widest, and the line end.
constexpr std::size_t kMaxLineChars = kLogNumberMaxChars + 12 * (kLogNumberMaxChars + 1) + 1;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

std::string dynamicsLogPath(const std::string& inputPath) {
    // On this platform '/' is the only separator; filesystem::path splits by exactly the rule.
    const std::filesystem::path input(inputPath);
    return (input.parent_path() / input.stem()).string() + "Dynamics.txt";
}

void writeDynamicsLog(const std::vector<TrajectoryState>& states, const std::string& inputPath) {
    // Text mode: the platform's line end.
    const std::unique_ptr<std::FILE, FileCloser> file(
        std::fopen(dynamicsLogPath(inputPath).c_str(), "w"));
    if (file == nullptr) {
        return;
    }
    char line[kMaxLineChars];
    for (const TrajectoryState& state : states) {
        char* p = formatLogNumber(line, state.time, kTimeWidth);
        for (double value : state.velocity) {
            p = formatLogNumber(p, value, kValueWidth);
            *p++ = ' ';
        }
        for (double value : state.acceleration) {
            p = formatLogNumber(p, value, kValueWidth);
            *p++ = ' ';
        }
        *p++ = '\n';
        const auto length = static_cast<std::size_t>(p - line);
        // A failed write stays failed, as a stream's would: nothing more is written.
        if (std::fwrite(line, 1, length, file.get()) != length || std::fflush(file.get()) != 0) {
            return;
        }
    }
}

}  // namespace Kor
