#pragma once
// Recorded frames as PNG files, numbered in the order they arrived.

#include <cstdint>
#include <string>

namespace OrvaneRecord {

// "frame_000001.png" for the first frame; the number widens past six digits.
std::string PngFrameName(uint64_t number);

// Writes a recorded frame (blue-green-red, rows bottom-up) as an RGB PNG, top row first.
// False with libpng's or the system's reason in `error`.
bool WritePngFrame(const std::string& path, uint32_t width, uint32_t height, const uint8_t* frame,
                   std::string& error);

}  // namespace OrvaneRecord
