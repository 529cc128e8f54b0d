#include "tools/orvane-record/StoredPng.h"

#include <algorithm>
#include <array>

namespace OrvaneRecord {

namespace {

constexpr std::array<uint32_t, 256> makeCrcTable() {
    std::array<uint32_t, 256> table{};
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k) {
            c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        }
        table[n] = c;
    }
    return table;
}

constexpr std::array<uint32_t, 256> kCrcTable = makeCrcTable();

// Deflate's limit for one stored block.
constexpr size_t kStoredBlockBytes = 65535;
// IDAT chunks are cut at this size; readers take any size up to 2^31 - 1.
constexpr size_t kChunkBytes = size_t{1} << 20;

void putBigEndian(std::vector<uint8_t>& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<uint8_t>(value >> shift));
    }
}

void putChunk(std::vector<uint8_t>& out, const char (&type)[5], const uint8_t* data, size_t size) {
    putBigEndian(out, static_cast<uint32_t>(size));
    const size_t typeAt = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data, data + size);
    putBigEndian(out, Crc32(out.data() + typeAt, 4 + size));
}

}  // namespace

uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc) {
    crc = ~crc;
    for (size_t i = 0; i < size; ++i) {
        crc = kCrcTable[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    }
    return ~crc;
}

uint32_t Adler32(const uint8_t* data, size_t size, uint32_t adler) {
    constexpr uint32_t kBase = 65521;
    uint32_t a = adler & 0xFFFF;
    uint32_t b = adler >> 16;
    while (size > 0) {
        // 5552 bytes is the most that cannot overflow 32 bits before the modulo.
        const size_t run = std::min<size_t>(size, 5552);
        for (size_t i = 0; i < run; ++i) {
            a += data[i];
            b += a;
        }
        a %= kBase;
        b %= kBase;
        data += run;
        size -= run;
    }
    return (b << 16) | a;
}

std::vector<uint8_t> EncodeStoredPng(uint32_t width, uint32_t height, const uint8_t* frame) {
    // The scanlines as PNG wants them: a filter byte (0, none), then the row top-down in RGB.
    const size_t frameRow = static_cast<size_t>(width) * 3;
    std::vector<uint8_t> raw(static_cast<size_t>(height) * (frameRow + 1));
    uint8_t* to = raw.data();
    for (uint32_t y = 0; y < height; ++y) {
        *to++ = 0;
        const uint8_t* from = frame + static_cast<size_t>(height - 1 - y) * frameRow;
        for (uint32_t x = 0; x < width; ++x, from += 3) {
            *to++ = from[2];
            *to++ = from[1];
            *to++ = from[0];
        }
    }

    // The zlib stream: header (deflate, 32 KiB window, no dictionary, check bits), stored
    // blocks, Adler-32 of the scanlines.
    const size_t blocks =
        std::max<size_t>(1, (raw.size() + kStoredBlockBytes - 1) / kStoredBlockBytes);
    std::vector<uint8_t> zlib;
    zlib.reserve(2 + blocks * 5 + raw.size() + 4);
    zlib.push_back(0x78);
    zlib.push_back(0x01);
    for (size_t block = 0, at = 0; block < blocks; ++block) {
        const size_t size = std::min(kStoredBlockBytes, raw.size() - at);
        const auto length = static_cast<uint16_t>(size);
        zlib.push_back(block + 1 == blocks ? 1 : 0);  // BFINAL, BTYPE 00 (stored)
        zlib.push_back(static_cast<uint8_t>(length));
        zlib.push_back(static_cast<uint8_t>(length >> 8));
        zlib.push_back(static_cast<uint8_t>(~length));
        zlib.push_back(static_cast<uint8_t>(~length >> 8));
        zlib.insert(zlib.end(), raw.begin() + static_cast<ptrdiff_t>(at),
                    raw.begin() + static_cast<ptrdiff_t>(at + size));
        at += size;
    }
    putBigEndian(zlib, Adler32(raw.data(), raw.size()));

    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    png.reserve(8 + 25 + zlib.size() + (zlib.size() / kChunkBytes + 1) * 12 + 12);
    std::vector<uint8_t> header;
    putBigEndian(header, width);
    putBigEndian(header, height);
    // 8 bits a sample, colour type 2 (RGB), deflate, adaptive filtering, no interlace.
    header.insert(header.end(), {8, 2, 0, 0, 0});
    putChunk(png, "IHDR", header.data(), header.size());
    for (size_t at = 0; at < zlib.size(); at += kChunkBytes) {
        putChunk(png, "IDAT", zlib.data() + at, std::min(kChunkBytes, zlib.size() - at));
    }
    putChunk(png, "IEND", nullptr, 0);
    return png;
}

}  // namespace OrvaneRecord
