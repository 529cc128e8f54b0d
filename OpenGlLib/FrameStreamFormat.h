#pragma once
// The stream of recorded frames, as a window writes it and a recorder reads it. Header only,
// so that a reader needs nothing of GL:
//   header, once per connection: three little-endian 32-bit integers: 7, width, height;
//   then one frame after another: width x height x 3 bytes, rows from the bottom of the
//   picture up, tightly packed, each pixel blue, green, red.
// A connection carries one header; recording switched off and on again is a new connection.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "PlatformLib/Process.h"

namespace Kor {

constexpr uint32_t kFrameStreamFormat = 7;
constexpr size_t kFrameStreamHeaderBytes = 12;
constexpr size_t kFrameBytesPerPixel = 3;

struct FrameStreamHeader {
    uint32_t format = kFrameStreamFormat;
    uint32_t width = 0;
    uint32_t height = 0;
};

// Bytes of one frame. Sides are window sizes (below 2^31), so the product fits in 64 bits.
constexpr size_t FrameBytes(uint32_t width, uint32_t height) {
    return static_cast<size_t>(width) * height * kFrameBytesPerPixel;
}

inline std::array<uint8_t, kFrameStreamHeaderBytes> EncodeFrameStreamHeader(
    const FrameStreamHeader& header) {
    std::array<uint8_t, kFrameStreamHeaderBytes> bytes{};
    const uint32_t fields[3] = {header.format, header.width, header.height};
    for (size_t i = 0; i < 3; ++i) {
        for (size_t b = 0; b < 4; ++b) {
            bytes[i * 4 + b] = static_cast<uint8_t>(fields[i] >> (8 * b));
        }
    }
    return bytes;
}

inline FrameStreamHeader DecodeFrameStreamHeader(const uint8_t* bytes) {
    uint32_t fields[3] = {};
    for (size_t i = 0; i < 3; ++i) {
        for (size_t b = 0; b < 4; ++b) {
            fields[i] |= static_cast<uint32_t>(bytes[i * 4 + b]) << (8 * b);
        }
    }
    return {fields[0], fields[1], fields[2]};
}

// The pipe that a recorder makes and a window writes to: the named pipe "gk_pipe" on
// Windows, a FIFO of that name in the user's runtime folder elsewhere.
inline std::string RecordingPipePath() {
#if defined(_WIN32)
    return R"(\\.\pipe\gk_pipe)";
#else
    return RuntimeDirectory() + "/gk_pipe";
#endif
}

}  // namespace Kor
