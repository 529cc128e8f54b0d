#pragma once
// A PNG encoder without compression, for builds that have no zlib (Windows): deflate's stored
// blocks of at most 65535 bytes each. Recorded frames are mostly background, so the files are
// large (about 3 bytes a pixel), but any PNG reader takes them.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace OrvaneRecord {

// CRC-32 as PNG chunks carry it, continued from `crc` (0 to start).
uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc = 0);

// Adler-32 as a zlib stream ends with it, continued from `adler` (1 to start).
uint32_t Adler32(const uint8_t* data, size_t size, uint32_t adler = 1);

// The PNG file of a recorded frame (blue-green-red, rows bottom-up): RGB, 8 bits, top row
// first, no filter. Sides from 1 to 2^31 - 1, as PNG allows.
std::vector<uint8_t> EncodeStoredPng(uint32_t width, uint32_t height, const uint8_t* frame);

}  // namespace OrvaneRecord
