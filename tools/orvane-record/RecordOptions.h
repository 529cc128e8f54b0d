#pragma once
// The command line of orvane-record:
//   orvane-record [--frames N] [--png DIR] [--video FILE]
// Each option also takes the form --name=value.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace OrvaneRecord {

struct RecordOptions {
    std::optional<uint64_t> frames;  // stop after this many; none: when Orvane stops recording
    std::string pngFolder;           // empty: no PNG files
    std::string videoFile;           // empty: no video
    bool help = false;
};

struct ParsedOptions {
    RecordOptions options;
    std::string error;  // empty when the command line was understood
};

ParsedOptions ParseRecordOptions(const std::vector<std::string>& arguments);

extern const char* const kUsage;

}  // namespace OrvaneRecord
