#pragma once
// The bytes of trajectory files, laid out by the file formats' tables (little-endian values,
// row-major matrices), for tests that write files and read them back.

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace OrvaneTest {

inline void appendDouble(std::string& bytes, double value) {
    char raw[8];
    std::memcpy(raw, &value, 8);
    bytes.append(raw, 8);
}

inline void appendCount(std::string& bytes, std::uint32_t count) {
    for (int shift = 0; shift < 32; shift += 8) {
        bytes.push_back(static_cast<char>(count >> shift));
    }
}

struct PoseRecord {
    double time = 0;
    std::array<double, 9> R{1, 0, 0, 0, 1, 0, 0, 0, 1};
    std::array<double, 3> t{};
};

// 104 bytes per record: time, R, t.
inline std::string binaryPoseFile(const std::vector<PoseRecord>& records) {
    std::string bytes;
    for (const PoseRecord& r : records) {
        appendDouble(bytes, r.time);
        for (double v : r.R) {
            appendDouble(bytes, v);
        }
        for (double v : r.t) {
            appendDouble(bytes, v);
        }
    }
    return bytes;
}

// One record per line: the time, then [R | t] row by row, with 17 significant digits.
inline std::string textPoseFile(const std::vector<PoseRecord>& records) {
    std::string text;
    char number[32];
    for (const PoseRecord& r : records) {
        std::snprintf(number, sizeof number, "%.17g", r.time);
        text += number;
        for (int row = 0; row < 3; ++row) {
            for (int k = 0; k < 4; ++k) {
                std::snprintf(number, sizeof number, " %.17g", k < 3 ? r.R[3 * row + k] : r.t[row]);
                text += number;
            }
        }
        text += '\n';
    }
    return text;
}

struct SplineSegmentData {
    double t0 = 0;
    double t1 = 1;
    std::array<double, 18> position{};  // Bezier control points of x, then y, then z
    std::array<double, 18> rotation{};  // the same for the rotation vector
    std::array<double, 9> R0{1, 0, 0, 0, 1, 0, 0, 0, 1};
};

inline std::string splineSegmentBytes(const SplineSegmentData& s) {
    std::string bytes;
    appendDouble(bytes, s.t0);
    appendDouble(bytes, s.t1);
    appendDouble(bytes, 12345.0);  // the stored inverse duration is never used
    for (double v : s.position) {
        appendDouble(bytes, v);
    }
    for (double v : s.rotation) {
        appendDouble(bytes, v);
    }
    for (double v : s.R0) {
        appendDouble(bytes, v);
    }
    for (int k = 0; k < 11 * 9; ++k) {
        appendDouble(bytes, 0.5 * k);  // the eleven further matrices
    }
    return bytes;
}

// A complete spline file: 33 + 1176 N + 16 M bytes.
inline std::string splineFile(const std::vector<SplineSegmentData>& segments,
                              const std::vector<std::pair<double, double>>& intervals,
                              bool flag = true, std::array<double, 3> offset = {1, 2, 3}) {
    std::string bytes;
    appendCount(bytes, static_cast<std::uint32_t>(segments.size()));
    for (const SplineSegmentData& s : segments) {
        bytes += splineSegmentBytes(s);
    }
    appendCount(bytes, static_cast<std::uint32_t>(intervals.size()));
    for (const auto& [begin, end] : intervals) {
        appendDouble(bytes, begin);
        appendDouble(bytes, end);
    }
    bytes.push_back(flag ? 1 : 0);
    for (double v : offset) {
        appendDouble(bytes, v);
    }
    return bytes;
}

}  // namespace OrvaneTest
