#pragma once
// A PNG file as the picture a test reads from the X server (red-green-blue, rows top-down);
// width 0 when the file cannot be read. Header only; the test links libpng.

#include <png.h>

#include <string>

#include "tests/support/Xvfb.h"

namespace OrvaneTest {

inline WindowImage readPng(const std::string& path) {
    WindowImage image;
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&png, path.c_str()) == 0) {
        return image;
    }
    png.format = PNG_FORMAT_RGB;
    std::vector<RGB> pixels(static_cast<size_t>(png.width) * png.height);
    if (png_image_finish_read(&png, nullptr, pixels.data(), 0, nullptr) == 0) {
        return image;
    }
    image.width = static_cast<int>(png.width);
    image.height = static_cast<int>(png.height);
    image.pixels = std::move(pixels);
    return image;
}

}  // namespace OrvaneTest
