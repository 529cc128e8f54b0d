// orvane-convert's command line: words separated by NUL bytes. What it accepts is a whole
// conversion: a format, two non-empty paths, a period above 0 and an output Orvane reads as
// poses.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/TrajectoryProcessing.h"
#include "tools/orvane-convert/ConvertOptions.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> words(1);
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            words.emplace_back();
        } else {
            words.back().push_back(static_cast<char>(data[i]));
        }
    }
    const OrvaneConvert::ParsedOptions parsed = OrvaneConvert::parseConvertOptions(words);
    const OrvaneConvert::ConvertOptions& options = parsed.options;
    if (!parsed.error.empty() || options.help) {
        return 0;
    }
    const double period = OrvaneConvert::toSeconds(options.conversion.period);
    if (options.input.empty() || options.output.empty() || !(period > 0) ||
        !std::isfinite(period) || Kor::isSplinePath(options.output)) {
        std::abort();
    }
    return 0;
}
