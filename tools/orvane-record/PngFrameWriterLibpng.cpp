// PNG files through libpng (Linux); Windows builds have no libpng and use StoredPng.
#include "tools/orvane-record/PngFrameWriter.h"

#include <png.h>

namespace OrvaneRecord {

bool WritePngFrame(const std::string& path, uint32_t width, uint32_t height, const uint8_t* frame,
                   std::string& error) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = width;
    image.height = height;
    // libpng takes the frame as it is: blue-green-red, and a negative row stride for rows
    // stored bottom-up. Fast compression keeps up with the frame rate; frames of a 3-D view
    // are mostly background and stay small anyway.
    image.format = PNG_FORMAT_BGR;
    image.flags = PNG_IMAGE_FLAG_FAST;
    const png_int_32 rowStride = -static_cast<png_int_32>(width * 3);
    if (png_image_write_to_file(&image, path.c_str(), 0, frame, rowStride, nullptr) == 0) {
        error = image.message;
        return false;
    }
    return true;
}

}  // namespace OrvaneRecord
