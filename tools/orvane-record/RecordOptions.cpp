#include "tools/orvane-record/RecordOptions.h"

#include <charconv>

namespace OrvaneRecord {

const char* const kUsage =
    "Usage: orvane-record [--frames N] [--png DIR] [--video FILE]\n"
    "Records the frames that Orvane streams while Orvane.RecordToPipe is 1.\n"
    "  --frames N    stop after N frames (otherwise when Orvane stops recording, or Ctrl+C)\n"
    "  --png DIR     write each frame to DIR/frame_000001.png, frame_000002.png, ...\n"
    "  --video FILE  encode the frames to FILE with ffmpeg, 30 frames per second\n"
    "  -h, --help    show this text\n";

namespace {

std::optional<uint64_t> positiveCount(const std::string& text) {
    uint64_t value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end || value == 0) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

ParsedOptions ParseRecordOptions(const std::vector<std::string>& arguments) {
    ParsedOptions parsed;
    RecordOptions& options = parsed.options;
    for (size_t i = 0; i < arguments.size(); ++i) {
        std::string name = arguments[i];
        if (name == "-h" || name == "--help") {
            options.help = true;
            continue;
        }
        std::optional<std::string> value;
        if (const size_t equals = name.find('=');
            name.rfind("--", 0) == 0 && equals != std::string::npos) {
            value = name.substr(equals + 1);
            name.resize(equals);
        }
        if (name != "--frames" && name != "--png" && name != "--video") {
            parsed.error = "unknown argument '" + arguments[i] + "'";
            return parsed;
        }
        if (!value) {
            if (i + 1 == arguments.size()) {
                parsed.error = name + " needs a value";
                return parsed;
            }
            value = arguments[++i];
        }
        if (name == "--frames") {
            options.frames = positiveCount(*value);
            if (!options.frames) {
                parsed.error = "--frames needs a whole number of at least 1, not '" + *value + "'";
                return parsed;
            }
        } else if (value->empty()) {
            parsed.error = name + " needs a non-empty value";
            return parsed;
        } else {
            (name == "--png" ? options.pngFolder : options.videoFile) = *value;
        }
    }
    if (!options.help && options.pngFolder.empty() && options.videoFile.empty()) {
        parsed.error = "nothing to record to: give --png DIR, --video FILE or both";
    }
    return parsed;
}

}  // namespace OrvaneRecord
