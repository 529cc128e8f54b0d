#include "OpenGlLib/GLText.h"

namespace Kor {

TextQuads LayoutString(std::string_view text, const WindowPoint& position) {
    TextQuads quads;
    constexpr float du = static_cast<float>(kGlyphCellWidth) / kFontAtlasWidth;
    constexpr float dv = static_cast<float>(kGlyphCellHeight) / kFontAtlasHeight;
    WindowPoint pen = position;
    for (char byte : text) {
        const auto code = static_cast<unsigned char>(byte);
        if (code >= 0x20 && code <= 0x7E) {
            const int glyph = code - 32;
            const float u = static_cast<float>(10 * (glyph % 32) + 1) / kFontAtlasWidth;
            const float v = static_cast<float>(15 * (glyph / 32) + 1) / kFontAtlasHeight;
            const auto left = static_cast<GLshort>(pen.x - 1);
            const auto top = static_cast<GLshort>(pen.y - 1);
            const auto right = static_cast<GLshort>(pen.x + 8);
            const auto bottom = static_cast<GLshort>(pen.y + 13);
            // (top-left, top-right, bottom-right) and (top-left, bottom-right, bottom-left).
            quads.vertices.insert(quads.vertices.end(), {left, top, right, top, right, bottom, left,
                                                         top, right, bottom, left, bottom});
            quads.texCoords.insert(quads.texCoords.end(), {u, v, u + du, v, u + du, v + dv, u, v,
                                                           u + du, v + dv, u, v + dv});
        }
        pen.x += 8;
        if (byte == '\n') {
            pen.y += 13;
            pen.x = position.x;
        }
    }
    return quads;
}

void DrawString(uint32_t texture, std::string_view text, const WindowPoint& position) {
    if (texture == 0) {
        return;
    }
    const TextQuads quads = LayoutString(text, position);
    if (quads.vertices.empty()) {
        return;
    }
    glPushAttrib(GL_ENABLE_BIT);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glVertexPointer(2, GL_SHORT, 0, quads.vertices.data());
    glTexCoordPointer(2, GL_FLOAT, 0, quads.texCoords.data());
    glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(quads.vertices.size() / 2));
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glBindTexture(GL_TEXTURE_2D, 0);
    glPopAttrib();
}

}  // namespace Kor
