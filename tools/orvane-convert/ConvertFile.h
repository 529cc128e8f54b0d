#pragma once
// One whole conversion as the command line asks for it: the input read line by line, the
// poses written to the output, and the output kept only when every line converted.

#include <string>

#include "tools/orvane-convert/Conversion.h"
#include "tools/orvane-convert/ConvertOptions.h"

namespace OrvaneConvert {

struct FileConversion {
    ConversionReport report;
    std::string inputName;  // the input as messages name it ("standard input" for "-")
    std::string error;      // why the input could not be read or the output not written
    bool written = false;   // the output holds every pose: success
    // The output was opened but left as it was: on failure, unless it is written in place
    // (standard output, a device) or could not be opened at all.
    bool outputLeftAlone = false;
};

FileConversion convertFile(const ConvertOptions& options);

}  // namespace OrvaneConvert
