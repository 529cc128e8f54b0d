#pragma once
// The font atlas: the glyph bitmap turned, once per process, into the RGBA image that every
// window uploads into its font texture, with the texture coordinates of each character.
// Ink is opaque white, so that the current colour tints it; pixels touching ink, diagonally
// too, are black with alpha 127: a dark outline that keeps text readable on any background.

#include <cstdint>
#include <mutex>
#include <vector>

#include "OpenGlLib/GlyphBitmap.h"

namespace Kor {

// Atlas cells: 32 per row, three rows, a glyph of 7 x 12 with a spare pixel around it, 10 x 15
// pixels apart.
constexpr int32_t kGlyphCellWidth = 9;
constexpr int32_t kGlyphCellHeight = 14;
constexpr int32_t kFontAtlasWidth = 32 * kGlyphCellWidth + 36;  // 324
constexpr int32_t kFontAtlasHeight = 3 * kGlyphCellHeight + 8;  // 50

struct TexCoord {
    float u = 0.0f;
    float v = 0.0f;
    friend bool operator==(const TexCoord&, const TexCoord&) = default;
};

struct RgbaImage {
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint8_t> pixels;  // 4 bytes per pixel, rows top to bottom
    bool empty() const { return width == 0 && height == 0; }
};

struct GLTextData {
    RgbaImage imShaded;
    std::vector<TexCoord> tex_coords;  // by character code: the top-left corner of its cell
};

// The process's atlas: empty until BuildFontAtlas has run.
GLTextData& TextData();

// Guards the one build of the atlas.
std::recursive_mutex& FontAtlasMutex();

// Builds TextData() from the built-in glyph bitmap. A second build is a failed check that
// ends the process.
void BuildFontAtlas();

// The atlas, built under FontAtlasMutex() by the first caller.
const GLTextData& EnsureFontAtlas();

// The atlas of a glyph bitmap: the work of BuildFontAtlas, without the process's state.
GLTextData ShadeGlyphs(const GlyphBitmap& glyphs);

}  // namespace Kor
