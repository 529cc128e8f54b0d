// PNG files without libpng or zlib (Windows): uncompressed, written in one piece.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "PlatformLib/Utf8Path.h"
#include "tools/orvane-record/PngFrameWriter.h"
#include "tools/orvane-record/StoredPng.h"

namespace OrvaneRecord {

bool WritePngFrame(const std::string& path, uint32_t width, uint32_t height, const uint8_t* frame,
                   std::string& error) {
    constexpr uint32_t kMaxSide = 0x7FFFFFFF;
    if (width == 0 || height == 0 || width > kMaxSide || height > kMaxSide) {
        error = "a PNG picture cannot be " + std::to_string(width) + " x " +
                std::to_string(height) + " pixels";
        return false;
    }
    const std::vector<uint8_t> png = EncodeStoredPng(width, height, frame);
    std::FILE* file = Kor::OpenFile(path, "wb");
    if (file == nullptr) {
        error = std::strerror(errno);
        return false;
    }
    const bool wrote = std::fwrite(png.data(), 1, png.size(), file) == png.size();
    const int writeErrno = errno;
    const bool closed = std::fclose(file) == 0;
    if (wrote && closed) {
        return true;
    }
    error = std::strerror(wrote ? errno : writeErrno);
    // A cut-off picture would pass for a frame; none is better.
    std::error_code ignored;
    std::filesystem::remove(Kor::PathFromUtf8(path), ignored);
    return false;
}

}  // namespace OrvaneRecord
