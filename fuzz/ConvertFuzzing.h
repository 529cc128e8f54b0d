#pragma once
// One camera-trajectory reader of orvane-convert over arbitrary bytes, checked against what
// the format says. The first byte picks the time origin and how many bytes the line reader
// holds and the writer's blocks take (so that lines straddle refills, some are too long, and
// the output goes in several blocks); the rest is the file.
//
// When no line is refused: one pose per line that is neither blank nor a comment, at
// increasing times (from 0 when relative, near the stamps' own differences otherwise), with
// an orthonormal R and the camera drawn where the line put it (-R^T t = p, with p read by
// strtod); the text written reads back through Orvane's pose reader as the same numbers.
// Either way, refused lines are reported in order, at most the first ten.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "analysis/Matrix3.h"
#include "analysis/Orthonormal.h"
#include "app/PoseFileReader.h"
#include "tools/orvane-convert/Conversion.h"
#include "tools/orvane-convert/PoseWriter.h"

namespace OrvaneFuzz {

inline void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// The lines that hold poses, as the formats describe them: split at '\n', a '\r' before it
// dropped, a byte-order mark before the first dropped, blank lines and '#' lines skipped.
inline std::vector<std::string> poseLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    for (bool first = true; std::getline(in, line); first = false) {
        if (first && line.rfind("\xEF\xBB\xBF", 0) == 0) {
            line.erase(0, 3);
        }
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        const std::size_t start = line.find_first_not_of(" \t\v\f\r");
        if (start != std::string::npos && line[start] != '#') {
            lines.push_back(line);
        }
    }
    return lines;
}

// The fields of a line: at blanks, or at commas for EuRoC.
inline std::vector<std::string> fieldsOf(const std::string& line, char comma) {
    std::vector<std::string> fields;
    std::string field;
    std::istringstream in(line);
    if (comma == 0) {
        while (in >> field) {
            fields.push_back(field);
        }
    } else {
        while (std::getline(in, field, comma)) {
            fields.push_back(field);
        }
    }
    return fields;
}

struct FormatLayout {
    OrvaneConvert::InputFormat format;
    char separator;  // 0: blanks
    int stampField;  // -1: none
    int positionFields[3];
};

inline int checkConversion(const FormatLayout& layout, const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    OrvaneConvert::ConversionSettings settings;
    settings.format = layout.format;
    settings.origin =
        data[0] & 1 ? OrvaneConvert::TimeOrigin::Absolute : OrvaneConvert::TimeOrigin::Relative;
    settings.period = OrvaneConvert::DecimalTime{false, 1u + (data[0] >> 4), -2 - (data[0] & 1)};
    const std::size_t capacity = std::size_t{16} << ((data[0] >> 1) & 7);
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);

    std::vector<OrvaneConvert::OrvanePose> poses;
    std::string written;
    // Small blocks, so that several are handed on.
    OrvaneConvert::PoseWriter writer(
        Kor::PoseFormat::Text,
        [&written](std::string_view bytes) {
            written += bytes;
            return true;
        },
        capacity);
    OrvaneConvert::LineReader lines(OrvaneConvert::readFromMemory(text), capacity);
    const OrvaneConvert::ConversionReport report =
        OrvaneConvert::convertLines(lines, settings, [&](const OrvaneConvert::OrvanePose& pose) {
            poses.push_back(pose);
            return writer.write(pose);
        });
    check(writer.finish());
    check(report.readError == 0 && !report.sinkFailed);
    check(report.poses == poses.size());
    check(report.refused.size() ==
          std::min<std::uint64_t>(report.refusedLines,
                                  OrvaneConvert::ConversionReport::kReportedRefusals));
    for (std::size_t k = 0; k < report.refused.size(); ++k) {
        check(!report.refused[k].reason.empty());
        check(k == 0 || report.refused[k].line > report.refused[k - 1].line);
    }
    if (report.refusedLines > 0) {
        return 0;
    }

    const std::vector<std::string> expected = poseLines(text);
    check(poses.size() == expected.size());
    double firstStamp = 0;
    for (std::size_t k = 0; k < poses.size(); ++k) {
        const OrvaneConvert::OrvanePose& pose = poses[k];
        check(Kor::isOrthonormal(pose.R));
        check(k == 0 || pose.time > poses[k - 1].time);

        const std::vector<std::string> fields = fieldsOf(expected[k], layout.separator);
        Kor::Vec3 p;
        double largest = 0;
        for (int i = 0; i < 3; ++i) {
            p[i] = std::strtod(fields[layout.positionFields[i]].c_str(), nullptr);
            largest = std::max(largest, std::fabs(p[i]));
        }
        // Each component of R p carries a few roundings of the largest one.
        const Kor::Vec3 drawn = Kor::negate(Kor::matTVec(pose.R, pose.t));
        for (int i = 0; i < 3 && largest < 1e300; ++i) {
            check(std::fabs(drawn[i] - p[i]) <= 1e-14 * largest);
        }
        if (layout.stampField < 0) {
            continue;
        }
        const double stamp = std::strtod(fields[layout.stampField].c_str(), nullptr) *
                             (layout.format == OrvaneConvert::InputFormat::Euroc ? 1e-9 : 1);
        if (k == 0) {
            firstStamp = stamp;
        }
        const double reference =
            settings.origin == OrvaneConvert::TimeOrigin::Absolute ? stamp : stamp - firstStamp;
        check(std::fabs(pose.time - reference) <=
              1e-15 * std::max(std::fabs(stamp), std::fabs(firstStamp)) + 1e-300);
    }

    Kor::PoseFileReader reader;
    reader.attach(std::make_unique<std::istringstream>(written), Kor::PoseFormat::Text);
    OrvaneConvert::OrvanePose back;
    for (const OrvaneConvert::OrvanePose& pose : poses) {
        check(reader.readNext(back.time, back.R, back.t));
        check(std::memcmp(&back.time, &pose.time, sizeof pose.time) == 0);
        check(std::memcmp(back.t.data(), pose.t.data(), sizeof pose.t) == 0);
        Kor::Mat3 R = pose.R;
        Kor::orthonormalise(R);
        check(std::memcmp(back.R.data(), R.data(), sizeof R) == 0);
    }
    check(!reader.readNext(back.time, back.R, back.t));
    return 0;
}

}  // namespace OrvaneFuzz
