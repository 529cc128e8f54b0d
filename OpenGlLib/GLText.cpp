#include "OpenGlLib/GLText.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace Kor {

namespace {

constexpr int64_t kAdvance = 8;
constexpr int64_t kLineHeight = 13;
constexpr int64_t kShortMin = std::numeric_limits<GLshort>::min();
constexpr int64_t kShortMax = std::numeric_limits<GLshort>::max();

bool isPrintable(unsigned char code) {
    return code >= 0x20 && code <= 0x7E;
}

}  // namespace

TextQuads LayoutString(std::string_view text, const WindowPoint& position,
                       const std::vector<TexCoord>& texCoords) {
    constexpr float du = static_cast<float>(kGlyphCellWidth) / kFontAtlasWidth;
    constexpr float dv = static_cast<float>(kGlyphCellHeight) / kFontAtlasHeight;
    // Reserved once for the text, up to what one screen can hold, so that a long text costs
    // what is drawn, not what is left out.
    constexpr size_t kReservedQuads = 8192;
    TextQuads quads;
    quads.vertices.reserve(12 * std::min(text.size(), kReservedQuads));
    quads.texCoords.reserve(12 * std::min(text.size(), kReservedQuads));

    // The pen is wider than a vertex coordinate, so that it never wraps around.
    int64_t penX = position.x;
    int64_t penY = position.y;
    for (size_t i = 0; i < text.size(); ++i) {
        const auto code = static_cast<unsigned char>(text[i]);
        if (penY - 1 > kShortMax) {
            break;  // below the last line that can be drawn
        }
        if (penX - 1 > kShortMax && code != '\n') {
            // The rest of this line is out of reach: go on at its newline.
            const void* newline = std::memchr(text.data() + i, '\n', text.size() - i);
            if (newline == nullptr) {
                break;
            }
            i = static_cast<size_t>(static_cast<const char*>(newline) - text.data()) - 1;
            continue;
        }
        const int64_t left = penX - 1;
        const int64_t top = penY - 1;
        const int64_t right = penX + kAdvance;
        const int64_t bottom = penY + kLineHeight;
        if (isPrintable(code) && code < texCoords.size() && left >= kShortMin && top >= kShortMin &&
            bottom <= kShortMax && right <= kShortMax) {
            const auto l = static_cast<GLshort>(left), t = static_cast<GLshort>(top);
            const auto r = static_cast<GLshort>(right), b = static_cast<GLshort>(bottom);
            const float u = texCoords[code].u, v = texCoords[code].v;
            // (top-left, top-right, bottom-right) and (top-left, bottom-right, bottom-left).
            const GLshort corners[12] = {l, t, r, t, r, b, l, t, r, b, l, b};
            const GLfloat cell[12] = {u, v, u + du, v,      u + du, v + dv,
                                      u, v, u + du, v + dv, u,      v + dv};
            quads.vertices.insert(quads.vertices.end(), std::begin(corners), std::end(corners));
            quads.texCoords.insert(quads.texCoords.end(), std::begin(cell), std::end(cell));
        }
        penX += kAdvance;
        if (code == '\n') {
            penY += kLineHeight;
            penX = position.x;
        }
    }
    return quads;
}

void DrawString(uint32_t texture, std::string_view text, const WindowPoint& position) {
    if (texture == 0) {
        return;
    }
    // A texture exists only once the atlas has been built, which never changes afterwards.
    const TextQuads quads = LayoutString(text, position, TextData().tex_coords);
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
