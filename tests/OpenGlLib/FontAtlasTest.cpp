// The font atlas, built without GL: where ink, outline and transparency go, the texture
// coordinates of the cells, and the check against a second build.
#include "OpenGlLib/FontAtlas.h"

#include <gtest/gtest.h>

#include <array>
#include <map>
#include <utility>

#include "PlatformLib/InMemoryVarsManager.h"
#include "PlatformLib/StderrLogSink.h"
#include "PlatformLib/Vars.h"
#include "tests/support/Platform.h"

namespace {

using namespace Kor;
using Rgba = std::array<uint8_t, 4>;

Rgba pixelAt(const RgbaImage& image, int x, int y) {
    const size_t at = 4 * (static_cast<size_t>(y) * image.width + static_cast<size_t>(x));
    return {image.pixels[at], image.pixels[at + 1], image.pixels[at + 2], image.pixels[at + 3]};
}

void setInk(GlyphBitmap& glyphs, char character, int x, int y) {
    const int g = character - kFirstGlyphCode;
    glyphs[static_cast<size_t>((13 * (g / 32) + y) * kGlyphBitmapWidth + 8 * (g % 32) + x)] = 1;
}

TEST(FontAtlasTest, InkIsOpaqueWhiteWithAHalfTransparentBlackOutlineAndNothingElse) {
    GlyphBitmap glyphs{};
    setInk(glyphs, 'A', 0, 0);   // glyph row 1, column 1: atlas (12, 17)
    setInk(glyphs, '~', 6, 11);  // glyph row 2, column 30: atlas (308, 43)
    setInk(glyphs, '!', 3, 5);   // two ink pixels side by side: glyph row 0, column 1
    setInk(glyphs, '!', 4, 5);   // at atlas (15, 7) and (16, 7)
    setInk(glyphs, ' ', 0, 0);   // the first cell: atlas (2, 2)
    glyphs[kGlyphBitmapWidth * kGlyphBitmapHeight - 1] = 1;  // outside every glyph: unused

    constexpr Rgba kInk{255, 255, 255, 255};
    constexpr Rgba kOutline{0, 0, 0, 127};
    std::map<std::pair<int, int>, Rgba> expected;
    for (auto [x, y] : {std::pair{12, 17}, {308, 43}, {15, 7}, {16, 7}, {2, 2}}) {
        for (int dy = -1; dy <= 1; ++dy) {
            for (int dx = -1; dx <= 1; ++dx) {
                expected.emplace(std::pair{x + dx, y + dy}, kOutline);  // ink wins below
            }
        }
    }
    for (auto at : {std::pair{12, 17}, {308, 43}, {15, 7}, {16, 7}, {2, 2}}) {
        expected[at] = kInk;
    }

    const GLTextData atlas = ShadeGlyphs(glyphs);
    ASSERT_EQ(atlas.imShaded.width, 324u);
    ASSERT_EQ(atlas.imShaded.height, 50u);
    ASSERT_EQ(atlas.imShaded.pixels.size(), 324u * 50u * 4u);
    for (int y = 0; y < 50; ++y) {
        for (int x = 0; x < 324; ++x) {
            auto it = expected.find({x, y});
            const Rgba want = it != expected.end() ? it->second : Rgba{0, 0, 0, 0};
            ASSERT_EQ(pixelAt(atlas.imShaded, x, y), want) << "at " << x << ", " << y;
        }
    }
}

TEST(FontAtlasTest, EachCharacterPointsAtTheTopLeftOfItsCell) {
    const GLTextData atlas = ShadeGlyphs(GlyphBitmap{});
    ASSERT_EQ(atlas.tex_coords.size(), 128u);
    for (int code = 0; code < 32; ++code) {
        EXPECT_EQ(atlas.tex_coords[code], (TexCoord{0.0f, 0.0f})) << code;
    }
    const std::pair<int, TexCoord> cells[] = {
        {' ', {1.0f / 324, 1.0f / 50}},    {'?', {311.0f / 324, 1.0f / 50}},
        {'@', {1.0f / 324, 16.0f / 50}},   {'A', {11.0f / 324, 16.0f / 50}},
        {'~', {301.0f / 324, 31.0f / 50}}, {127, {311.0f / 324, 31.0f / 50}}};
    for (auto [code, cell] : cells) {
        EXPECT_EQ(atlas.tex_coords[code], cell) << code;
    }
}

TEST(FontAtlasTest, OnlyTheFirstBuildOfTheAtlasPasses) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    auto showReports = [] {
        InstallInMemoryVarsManager();
        InstallStderrLogSink();
        SetVarFromText("showDebug", "1");
    };
    EXPECT_EXIT(
        {
            showReports();
            const GLTextData& atlas = EnsureFontAtlas();
            if (&EnsureFontAtlas() != &atlas || atlas.imShaded.width != 324) {
                std::_Exit(9);  // the second call must find the atlas built
            }
            BuildFontAtlas();
        },
        OrvaneTest::FailedFast(),
        "QelResult ERROR - CFF\\(data\\.imShaded\\.empty\\(\\)\\)\\. HRESULT");
    EXPECT_EXIT(
        {
            showReports();
            BuildFontAtlas();
            TextData().imShaded = {};  // the coordinates are checked on their own
            BuildFontAtlas();
        },
        OrvaneTest::FailedFast(),
        "QelResult ERROR - CFF\\(data\\.tex_coords\\.empty\\(\\)\\)\\. HRESULT");
}

}  // namespace
