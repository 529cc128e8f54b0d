// orvane-convert: writes an Orvane pose file from a TUM, KITTI or EuRoC camera trajectory.
#include <cstdio>
#include <string>
#include <vector>

#include "tools/orvane-convert/ConvertFile.h"
#include "tools/orvane-convert/ConvertOptions.h"

namespace {

using namespace OrvaneConvert;

void report(const FileConversion& result, const std::string& output) {
    const ConversionReport& lines = result.report;
    const char* input = result.inputName.c_str();
    for (const RefusedLine& refused : lines.refused) {
        std::fprintf(stderr, "orvane-convert: %s:%llu: %s\n", input,
                     static_cast<unsigned long long>(refused.line), refused.reason.c_str());
    }
    if (lines.refusedLines > lines.refused.size()) {
        std::fprintf(stderr, "orvane-convert: %s: %llu more lines refused\n", input,
                     static_cast<unsigned long long>(lines.refusedLines - lines.refused.size()));
    }
    if (!result.error.empty()) {
        std::fprintf(stderr, "orvane-convert: %s\n", result.error.c_str());
    } else if (lines.refusedLines == 0 && lines.poses == 0) {
        std::fprintf(stderr, "orvane-convert: %s holds no poses, only blank lines and comments\n",
                     input);
    }
    if (result.outputLeftAlone) {
        std::fprintf(stderr, "orvane-convert: nothing written to %s\n", output.c_str());
    }
}

}  // namespace

int main(int argc, char** argv) {
    const ParsedOptions parsed =
        parseConvertOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.error.empty()) {
        std::fprintf(stderr, "orvane-convert: %s\n\n%s", parsed.error.c_str(), kUsage);
        return 2;
    }
    if (parsed.options.help) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    const FileConversion result = convertFile(parsed.options);
    if (!result.written) {
        report(result, parsed.options.output);
    }
    return result.written ? 0 : 1;
}
