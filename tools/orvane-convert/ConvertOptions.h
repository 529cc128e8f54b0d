#pragma once
// The command line of orvane-convert:
//   orvane-convert --from tum|kitti|euroc [--period SECONDS] [--time relative|absolute]
//                  INPUT OUTPUT
// Options may come before, between or after the two paths, also as --name=value; "--" ends
// the options, and "-" is standard input or standard output.

#include <string>
#include <vector>

#include "app/PoseFileReader.h"
#include "tools/orvane-convert/Conversion.h"

namespace OrvaneConvert {

struct ConvertOptions {
    ConversionSettings conversion;
    std::string input;
    std::string output;
    // The form Orvane reads OUTPUT in, by its name.
    Kor::PoseFormat outputForm = Kor::PoseFormat::Text;
    bool help = false;
};

struct ParsedOptions {
    ConvertOptions options;
    std::string error;  // empty when the command line was understood
};

ParsedOptions parseConvertOptions(const std::vector<std::string>& arguments);

extern const char* const kUsage;

}  // namespace OrvaneConvert
