#pragma once
// The built-in font: 96 glyphs of 7 x 12 pixels for the characters 32 to 127, kept as one byte
// image 255 pixels wide and 39 high, non-zero meaning ink. Glyph g = n - 32 of character n sits
// in glyph row g / 32 and glyph column g % 32, its pixel (x, y) at column 8 (g % 32) + x, row
// 13 (g / 32) + y.

#include <array>
#include <cstddef>
#include <cstdint>

namespace Kor {

constexpr int32_t kGlyphWidth = 7;
constexpr int32_t kGlyphHeight = 12;
constexpr int32_t kFirstGlyphCode = 32;
constexpr int32_t kGlyphCount = 96;
constexpr int32_t kGlyphsPerRow = 32;
constexpr int32_t kGlyphBitmapWidth = 255;
constexpr int32_t kGlyphBitmapHeight = 39;

using GlyphBitmap = std::array<uint8_t, kGlyphBitmapWidth * kGlyphBitmapHeight>;

// The glyphs as tools/make_glyph_bitmap writes them: 12 rows of 7 characters each, '#' for
// ink and '.' for none, so that the source shows their shapes.
using GlyphArt = char[kGlyphCount][kGlyphHeight][kGlyphWidth + 1];

constexpr GlyphBitmap LayOutGlyphs(const GlyphArt& art) {
    GlyphBitmap bitmap{};
    for (int32_t g = 0; g < kGlyphCount; ++g) {
        const int32_t left = 8 * (g % kGlyphsPerRow);
        const int32_t top = 13 * (g / kGlyphsPerRow);
        for (int32_t y = 0; y < kGlyphHeight; ++y) {
            for (int32_t x = 0; x < kGlyphWidth; ++x) {
                const char pixel = art[g][y][x];
                if (pixel != '#' && pixel != '.') {
                    throw "glyph art holds a character other than '#' and '.'";  // fails the build
                }
                bitmap[static_cast<std::size_t>((top + y) * kGlyphBitmapWidth + left + x)] =
                    pixel == '#' ? 1 : 0;
            }
        }
    }
    return bitmap;
}

// Made from the glyph art of GlyphBitmap.cpp when the program is compiled.
extern const GlyphBitmap kGlyphBitmap;

}  // namespace Kor
