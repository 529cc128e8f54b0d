#include "OpenGlLib/FontAtlas.h"

#include "RuntimeLib/Logging.h"

namespace Kor {

GLTextData& TextData() {
    static GLTextData data;
    return data;
}

std::recursive_mutex& FontAtlasMutex() {
    static std::recursive_mutex mutex;
    return mutex;
}

GLTextData ShadeGlyphs(const GlyphBitmap& glyphs) {
    GLTextData atlas;
    atlas.tex_coords.assign(kFirstGlyphCode, TexCoord{});  // control characters
    RgbaImage& image = atlas.imShaded;
    image.width = kFontAtlasWidth;
    image.height = kFontAtlasHeight;
    image.pixels.assign(size_t{4} * kFontAtlasWidth * kFontAtlasHeight, 0);
    auto pixel = [&](int32_t x, int32_t y) {
        return &image.pixels[4 * (static_cast<size_t>(y) * kFontAtlasWidth + x)];
    };
    for (int32_t g = 0; g < kGlyphCount; ++g) {
        const int32_t row = g / kGlyphsPerRow;
        const int32_t column = g % kGlyphsPerRow;
        for (int32_t y = 0; y < kGlyphHeight; ++y) {
            for (int32_t x = 0; x < kGlyphWidth; ++x) {
                const size_t source = static_cast<size_t>(13 * row + y) * kGlyphBitmapWidth +
                                      static_cast<size_t>(8 * column + x);
                if (glyphs[source] == 0) {
                    continue;
                }
                const int32_t atX = 10 * column + 2 + x;
                const int32_t atY = 15 * row + 2 + y;
                uint8_t* ink = pixel(atX, atY);
                ink[0] = ink[1] = ink[2] = ink[3] = 255;
                for (int32_t dy = -1; dy <= 1; ++dy) {
                    for (int32_t dx = -1; dx <= 1; ++dx) {
                        if (dx != 0 || dy != 0) {
                            pixel(atX + dx, atY + dy)[3] |= 127;
                        }
                    }
                }
            }
        }
        atlas.tex_coords.push_back(
            {static_cast<float>(10 * column + 1) / static_cast<float>(kFontAtlasWidth),
             static_cast<float>(15 * row + 1) / static_cast<float>(kFontAtlasHeight)});
    }
    return atlas;
}

void BuildFontAtlas() {
    // Named as the checks report it.
    GLTextData& data = TextData();
    QEL_CFF(data.imShaded.empty());
    QEL_CFF(data.tex_coords.empty());
    data = ShadeGlyphs(kGlyphBitmap);
}

const GLTextData& EnsureFontAtlas() {
    std::lock_guard<std::recursive_mutex> lock(FontAtlasMutex());
    if (TextData().imShaded.empty()) {
        BuildFontAtlas();
    }
    return TextData();
}

}  // namespace Kor
