#pragma once
// Text drawing with a window's font atlas texture: printable ASCII as textured quads, 8 pixels
// per character and 13 per line, in the current colour.

#include <GL/gl.h>

#include <cstdint>
#include <string_view>
#include <vector>

#include "OpenGlLib/GLWindowEvents.h"

namespace Kor {

// Glyph cells of the atlas: 32 per row, three rows, one spare pixel around each.
constexpr int32_t kGlyphCellWidth = 9;
constexpr int32_t kGlyphCellHeight = 14;
constexpr int32_t kFontAtlasWidth = 32 * kGlyphCellWidth + 36;  // 324
constexpr int32_t kFontAtlasHeight = 3 * kGlyphCellHeight + 8;  // 50

struct TextQuads {
    std::vector<GLshort> vertices;  // two per vertex, six vertices per character
    std::vector<GLfloat> texCoords;
};

// The triangles that draw text at position (top-left, y down) from an atlas laid out as above.
TextQuads LayoutString(std::string_view text, const WindowPoint& position);

// Draws text with the atlas texture; without a texture (0) nothing is drawn. The caller sets
// the colour and the projection.
void DrawString(uint32_t texture, std::string_view text, const WindowPoint& position);

}  // namespace Kor
