#pragma once
// A recorded frame (blue-green-red, rows bottom-up) as the picture a test reads from the X
// server (red-green-blue, rows top-down), so that the two compare pixel for pixel.

#include <string_view>

#include "tests/support/Xvfb.h"

namespace OrvaneTest {

inline WindowImage imageOfRecordedFrame(int width, int height, std::string_view frame) {
    WindowImage image;
    if (frame.size() != static_cast<size_t>(width) * height * 3) {
        return image;
    }
    image.width = width;
    image.height = height;
    image.pixels.resize(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        const size_t row = static_cast<size_t>(height - 1 - y) * width * 3;
        for (int x = 0; x < width; ++x) {
            const size_t at = row + static_cast<size_t>(x) * 3;
            image.pixels[static_cast<size_t>(y) * width + x] = {static_cast<uint8_t>(frame[at + 2]),
                                                                static_cast<uint8_t>(frame[at + 1]),
                                                                static_cast<uint8_t>(frame[at])};
        }
    }
    return image;
}

}  // namespace OrvaneTest
