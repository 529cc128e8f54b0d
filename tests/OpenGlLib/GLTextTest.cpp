// Text layout as a pure function: the quads and texture coordinates of a string.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "OpenGlLib/GLText.h"

namespace {

using namespace Kor;

const std::vector<TexCoord>& cells() {
    static const std::vector<TexCoord> coordinates = ShadeGlyphs(GlyphBitmap{}).tex_coords;
    return coordinates;
}

// Top-left corner (x, y) of each quad, checking that every quad is the 9 x 14 rectangle from
// there as two triangles.
std::vector<WindowPoint> corners(const TextQuads& quads) {
    std::vector<WindowPoint> found;
    EXPECT_EQ(quads.vertices.size() % 12, 0u);
    for (size_t q = 0; q + 12 <= quads.vertices.size(); q += 12) {
        const GLshort l = quads.vertices[q], t = quads.vertices[q + 1];
        const auto r = static_cast<GLshort>(l + 9), b = static_cast<GLshort>(t + 14);
        const std::vector<GLshort> quad(quads.vertices.begin() + q,
                                        quads.vertices.begin() + q + 12);
        EXPECT_EQ(quad, (std::vector<GLshort>{l, t, r, t, r, b, l, t, r, b, l, b}));
        found.push_back({l, t});
    }
    return found;
}

TEST(GLTextTest, EachPrintableCharacterIsAQuadEightPixelsOnAndLinesAre13Apart) {
    struct Case {
        std::string text;
        WindowPoint position;
        std::vector<WindowPoint> quads;  // top-left corners: one pixel above and left of the pen
    };
    const Case cases[] = {
        {"", {10, 20}, {}},
        {"AB", {10, 20}, {{9, 19}, {17, 19}}},
        {"A B", {0, 0}, {{-1, -1}, {7, -1}, {15, -1}}},  // a blank is drawn, as a clear glyph
        {"A\nB", {5, 7}, {{4, 6}, {4, 19}}},
        {"A\n\nB", {5, 7}, {{4, 6}, {4, 32}}},
        {"\x80"
         "A\xff"
         "B",
         {0, 0},
         {{7, -1}, {23, -1}}},  // bytes of 128 and up only advance
        {"\tA\x7f"
         "B",
         {0, 0},
         {{7, -1}, {23, -1}}},  // so do control characters and DEL
        {"AB", {-3, -40}, {{-4, -41}, {4, -41}}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(corners(LayoutString(c.text, c.position, cells())), c.quads) << c.text;
    }
}

TEST(GLTextTest, EachQuadShowsItsCharactersCell) {
    const TextQuads quads = LayoutString("A~", {0, 0}, cells());
    constexpr float du = 9.0f / 324, dv = 14.0f / 50;
    const float u = 11.0f / 324, v = 16.0f / 50;     // 'A'
    const float u2 = 301.0f / 324, v2 = 31.0f / 50;  // '~'
    const std::vector<GLfloat> expected{
        u,  v,  u + du,  v,  u + du,  v + dv,  u,  v,  u + du,  v + dv,  u,  v + dv,
        u2, v2, u2 + du, v2, u2 + du, v2 + dv, u2, v2, u2 + du, v2 + dv, u2, v2 + dv};
    EXPECT_EQ(quads.texCoords, expected);
}

TEST(GLTextTest, WithoutAnAtlasNothingIsLaidOut) {
    EXPECT_TRUE(LayoutString("AB", {0, 0}, {}).vertices.empty());
}

// Vertex coordinates are 16 bits: what lies beyond them is left out, never wrapped around to
// the other edge of the window.
TEST(GLTextTest, TextBeyondTheVertexRangeIsLeftOutNotWrapped) {
    // Pen x = 8 i; the quad reaches x + 8, so the last that fits is i = 4094.
    const std::string longLine(5000, 'x');
    std::vector<WindowPoint> quads = corners(LayoutString(longLine + "\nA", {0, 0}, cells()));
    ASSERT_EQ(quads.size(), 4096u);
    EXPECT_EQ(quads[4094], (WindowPoint{32751, -1}));
    EXPECT_EQ(quads.back(), (WindowPoint{-1, 12}));  // the next line begins at the left again
    for (const WindowPoint& corner : quads) {
        EXPECT_GE(corner.x, -1);
    }

    // Beginning far left, the first quad that fits is the first whose left edge is -32768 or
    // more: pen -32800 + 8 i with i = 5.
    quads = corners(LayoutString(std::string(10, 'x'), {-32800, 0}, cells()));
    ASSERT_EQ(quads.size(), 5u);
    EXPECT_EQ(quads.front(), (WindowPoint{-32761, -1}));

    // Lines below the range: the last one fits with its bottom edge at 32767.
    std::string lines;
    for (int i = 0; i < 3000; ++i) {
        lines += "y\n";
    }
    quads = corners(LayoutString(lines, {0, 0}, cells()));
    ASSERT_EQ(quads.size(), 2520u);  // pen y = 13 i with 13 i + 13 <= 32767
    EXPECT_EQ(quads.back(), (WindowPoint{-1, 13 * 2519 - 1}));
    EXPECT_TRUE(LayoutString("A", {0, 32755}, cells()).vertices.empty());
    EXPECT_TRUE(LayoutString("A", {32760, 0}, cells()).vertices.empty());
}

TEST(GLTextTest, AVeryLongLineCostsNoMoreThanWhatIsDrawn) {
    const std::string huge(size_t{1} << 26, 'x');
    const TextQuads quads = LayoutString(huge, {0, 0}, cells());
    EXPECT_EQ(quads.vertices.size(), 4095u * 12);
    EXPECT_LE(quads.vertices.capacity(), 8192u * 12);
}

}  // namespace
