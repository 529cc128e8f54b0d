// Videos on Windows: this build does not start ffmpeg yet. main refuses --video before any
// frame arrives; these keep the recorder honest should anything ask for a video anyway.
#include "tools/orvane-record/VideoEncoder.h"

namespace OrvaneRecord {

const char* const kVideoUnavailable =
    "--video needs ffmpeg, which this Windows build does not run yet; use --png";

std::string FindExecutable(const std::string&) {
    return {};
}

VideoEncoder::~VideoEncoder() = default;

bool VideoEncoder::Start(const std::string&, const std::string&, uint32_t, uint32_t,
                         std::string& error) {
    error = kVideoUnavailable;
    return false;
}

bool VideoEncoder::Write(const uint8_t*, size_t, std::string& error) {
    error = kVideoUnavailable;
    return false;
}

bool VideoEncoder::Finish(std::string&) {
    return true;
}

}  // namespace OrvaneRecord
