#include "tools/orvane-convert/ConvertOptions.h"

#include <cmath>
#include <optional>

#include "app/TrajectoryProcessing.h"

namespace OrvaneConvert {

const char* const kUsage =
    "Usage: orvane-convert --from FORMAT [--period SECONDS] [--time MODE] INPUT OUTPUT\n"
    "Converts a camera trajectory to an Orvane pose file: every pose is inverted from camera\n"
    "to world into Orvane's world to body.\n"
    "  --from FORMAT     the format of INPUT:\n"
    "                      tum    timestamp tx ty tz qx qy qz qw  (seconds; blanks between)\n"
    "                      kitti  r11 r12 r13 tx r21 r22 r23 ty r31 r32 r33 tz  (no times)\n"
    "                      euroc  timestamp, p_x, p_y, p_z, q_w, q_x, q_y, q_z, ...\n"
    "                             (nanoseconds; commas between; further columns ignored)\n"
    "                    Lines starting with # and blank lines are skipped.\n"
    "  --period SECONDS  kitti only: the time between poses (default 0.1, KITTI's rate)\n"
    "  --time MODE       relative: the first pose at time 0 (default)\n"
    "                    absolute: the times of the file, in seconds\n"
    "  -h, --help        show this text\n"
    "INPUT or OUTPUT '-' is standard input or output. OUTPUT ending in .bin is written as\n"
    "binary records, any other name as text; OUTPUT may not end in .dat (a spline file).\n"
    "A line that is not a pose of FORMAT is reported with its file, line and reason, and\n"
    "nothing is written.\n"
    "Exit status: 0 converted, 1 input refused or a file not read or written, 2 bad usage.\n";

namespace {

bool isOptionName(const std::string& name) {
    return name == "--from" || name == "--period" || name == "--time";
}

}  // namespace

ParsedOptions parseConvertOptions(const std::vector<std::string>& arguments) {
    ParsedOptions parsed;
    ConvertOptions& options = parsed.options;
    const auto failed = [&parsed](std::string error) {
        parsed.error = std::move(error);
        return parsed;
    };
    std::vector<std::string> paths;
    bool haveFormat = false;
    bool havePeriod = false;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string name = arguments[i];
        if (optionsEnded || name == "-" || name.empty() || name[0] != '-') {
            paths.push_back(name);
            continue;
        }
        if (name == "--") {
            optionsEnded = true;
            continue;
        }
        if (name == "-h" || name == "--help") {
            options.help = true;
            continue;
        }
        std::optional<std::string> value;
        if (const std::size_t equals = name.find('=');
            name.rfind("--", 0) == 0 && equals != std::string::npos) {
            value = name.substr(equals + 1);
            name.resize(equals);
        }
        if (!isOptionName(name)) {
            return failed("unknown option '" + arguments[i] + "'");
        }
        if (!value) {
            if (i + 1 == arguments.size()) {
                return failed(name + " needs a value");
            }
            value = arguments[++i];
        }
        if (name == "--from") {
            const std::optional<InputFormat> format = inputFormatNamed(*value);
            if (!format) {
                return failed("--from takes tum, kitti or euroc, not '" + *value + "'");
            }
            options.conversion.format = *format;
            haveFormat = true;
        } else if (name == "--period") {
            const std::optional<DecimalTime> period = DecimalTime::parse(*value);
            if (!period || period->negative || period->significand == 0 ||
                !std::isfinite(toSeconds(*period)) || toSeconds(*period) == 0) {
                return failed("--period takes a number of seconds above 0, not '" + *value + "'");
            }
            options.conversion.period = *period;
            havePeriod = true;
        } else if (*value == "relative" || *value == "absolute") {
            options.conversion.origin =
                *value == "relative" ? TimeOrigin::Relative : TimeOrigin::Absolute;
        } else {
            return failed("--time takes relative or absolute, not '" + *value + "'");
        }
    }
    if (options.help) {
        return parsed;
    }
    if (!haveFormat) {
        return failed("--from is required: tum, kitti or euroc");
    }
    if (havePeriod && options.conversion.format != InputFormat::Kitti) {
        return failed("--period applies to --from kitti only; the other formats have times");
    }
    if (paths.size() != 2) {
        return failed(paths.size() < 2 ? "give an input and an output file"
                                       : "unexpected argument '" + paths[2] + "'");
    }
    if (paths[0].empty() || paths[1].empty()) {
        return failed("a path may not be empty");
    }
    options.input = paths[0];
    options.output = paths[1];
    if (options.output != "-") {
        if (Kor::isSplinePath(options.output)) {
            return failed(
                "Orvane reads a .dat file as a spline trajectory: name the output "
                ".txt (text) or .bin (binary)");
        }
        options.outputForm = Kor::poseFormatOf(options.output);
    }
    return parsed;
}

}  // namespace OrvaneConvert
