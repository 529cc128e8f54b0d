#pragma once
// Text drawing with a window's font atlas texture: printable ASCII as textured quads, 8 pixels
// per character and 13 per line, in the current colour.

#include "OpenGlLib/GLHeaders.h"

#include <cstdint>
#include <string_view>
#include <vector>

#include "OpenGlLib/FontAtlas.h"
#include "OpenGlLib/GLWindowEvents.h"

namespace Kor {

struct TextQuads {
    std::vector<GLshort> vertices;  // two per vertex, six vertices per character
    std::vector<GLfloat> texCoords;
};

// The triangles that draw text at position (top-left, y down) with the cells at texCoords (by
// character code). Every byte advances the pen, a newline also starts the next line; only
// printable characters get a quad, and only where all its corners fit the 16-bit vertex
// coordinates: text beyond them is left out rather than wrapped around.
TextQuads LayoutString(std::string_view text, const WindowPoint& position,
                       const std::vector<TexCoord>& texCoords);

// Draws text with the atlas texture; without a texture (0) nothing is drawn. The caller sets
// the colour and the projection.
void DrawString(uint32_t texture, std::string_view text, const WindowPoint& position);

}  // namespace Kor
