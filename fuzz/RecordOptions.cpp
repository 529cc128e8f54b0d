// orvane-record's command line, one argument per line: whatever it accepts is a usable
// recording request, and whatever it refuses has a reason.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/orvane-record/RecordOptions.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> arguments;
    for (size_t start = 0; start <= text.size();) {
        const size_t end = std::min(text.find('\n', start), text.size());
        arguments.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    const OrvaneRecord::ParsedOptions parsed = OrvaneRecord::ParseRecordOptions(arguments);
    const OrvaneRecord::RecordOptions& options = parsed.options;
    if (parsed.error.empty() && !options.help && options.pngFolder.empty() &&
        options.videoFile.empty()) {
        __builtin_trap();
    }
    if (parsed.error.empty() && options.frames && *options.frames == 0) {
        __builtin_trap();
    }
    return 0;
}
