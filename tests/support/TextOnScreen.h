#pragma once
// Whether text drawn with the built-in font appears in a window's picture, pixel for pixel.
// Header only; the test links OpenGlLib (for the glyph bitmap) and orvane_test_xvfb.

#include <cstdlib>
#include <string>

#include "OpenGlLib/GlyphBitmap.h"
#include "tests/support/Xvfb.h"

namespace OrvaneTest {

inline bool glyphInk(char character, int x, int y) {
    const int g = character - Kor::kFirstGlyphCode;
    return Kor::kGlyphBitmap[static_cast<size_t>((13 * (g / 32) + y) * Kor::kGlyphBitmapWidth +
                                                 8 * (g % 32) + x)] != 0;
}

// Whether the text's glyphs appear at (left, top) in the colour, each 8 pixels after the one
// before; with `exactly`, also black wherever a glyph has no ink. A colour channel may differ by
// `tolerance` (a half-bright channel is rounded either way).
inline bool showsText(const WindowImage& image, const std::string& text, int left, int top,
                      RGB colour, bool exactly = true, int tolerance = 0) {
    auto near = [&](RGB at, RGB wanted) {
        for (size_t c = 0; c < 3; ++c) {
            if (std::abs(int{at[c]} - int{wanted[c]}) > tolerance) {
                return false;
            }
        }
        return true;
    };
    for (size_t i = 0; i < text.size(); ++i) {
        for (int y = 0; y < Kor::kGlyphHeight; ++y) {
            for (int x = 0; x < Kor::kGlyphWidth; ++x) {
                const int px = left + 8 * static_cast<int>(i) + x;
                const int py = top + y;
                if (px < 0 || py < 0 || px >= image.width || py >= image.height) {
                    return false;
                }
                const bool inked = glyphInk(text[i], x, y);
                const RGB at = image.at(px, py);
                if ((inked && !near(at, colour)) || (!inked && exactly && at != RGB{0, 0, 0})) {
                    return false;
                }
            }
        }
    }
    return true;
}

}  // namespace OrvaneTest
