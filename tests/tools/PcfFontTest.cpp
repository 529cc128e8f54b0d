// The PCF reader and the glyph table generator on the committed copy of the misc-fixed 6x12
// font, whole and damaged.
#include "tools/PcfFont.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/Platform.h"
#include "tests/support/Process.h"
#include "tests/support/TempDir.h"

namespace {

using OrvaneTools::ReadPcfFont;

const std::string kFontPath =
    ORVANE_SOURCE_DIR "/fuzz/corpus/pcf_font/misc-fixed-6x12-ISO8859-1.pcf";

// Offsets into that file, from its table of contents: the bitmap table and the encodings.
constexpr size_t kBitmaps = 2056;
constexpr size_t kEncodings = 14800;

void putBigEndian(std::string& bytes, size_t at, uint32_t value, int width) {
    for (int i = 0; i < width; ++i) {
        bytes[at + i] = static_cast<char>((value >> (8 * (width - 1 - i))) & 0xFF);
    }
}

TEST(PcfFontTest, ReadsTheMiscFixedFont) {
    std::string error;
    const auto font = ReadPcfFont(OrvaneTest::readFile(kFontPath), 32, 127, error);
    ASSERT_TRUE(font) << error;
    EXPECT_EQ(font->ascent, 10);
    EXPECT_EQ(font->descent, 2);
    EXPECT_EQ(font->properties.at("FONT"),
              "-Misc-Fixed-Medium-R-SemiCondensed--12-110-75-75-C-60-ISO8859-1");
    EXPECT_EQ(font->glyphs.size(), 95u);  // 32 to 126
    const OrvaneTools::PcfGlyph& bar = font->glyphs.at('|');
    int inked = 0;
    for (int32_t row = 0; row < bar.rows(); ++row) {
        for (int32_t column = 0; column < bar.columns(); ++column) {
            if (bar.at(column, row)) {
                ++inked;
                EXPECT_EQ(bar.leftBearing + column, 2);  // one upright line, 9 pixels high
            }
        }
    }
    EXPECT_EQ(inked, 9);
}

TEST(PcfFontTest, DamagedFontsAreRefusedWithAReason) {
    const std::string whole = OrvaneTest::readFile(kFontPath);
    auto patch = [&](size_t at, uint32_t value, int width) {
        std::string bytes = whole;
        putBigEndian(bytes, at, value, width);
        return bytes;
    };
    std::string noBitmaps = whole;  // every glyph's bitmap offset far beyond the data
    for (size_t glyph = 0; glyph < 223; ++glyph) {
        putBigEndian(noBitmaps, kBitmaps + 8 + 4 * glyph, 0x7fffffff, 4);
    }
    const std::pair<std::string, std::string> cases[] = {
        {patch(0, 0, 1), "not a PCF font"},
        {patch(7, 0x7f, 1), "table of contents longer than the file"},  // LSB first
        {patch(8 + 16 * 8 + 15, 0x7f, 1), "table 8 lies outside the file"},
        {noBitmaps, "the bitmap of character 32 is damaged"},
        {patch(kEncodings + 14 + 2 * 65, 0x7ff0, 2), "character 65 names a glyph the font lacks"},
    };
    for (const auto& [bytes, reason] : cases) {
        std::string error;
        EXPECT_FALSE(ReadPcfFont(bytes, 32, 127, error)) << reason;
        EXPECT_EQ(error.rfind(reason, 0), 0u) << error;
    }
    // Cut short anywhere before its last table, the font is refused; nothing is read beyond
    // the end (ASan watches).
    for (size_t length = 0; length < 18684; length += 97) {
        std::string error;
        EXPECT_FALSE(ReadPcfFont(whole.substr(0, length), 32, 127, error)) << length;
    }
}

// The committed table is what the generator makes of the committed font, so neither can
// change without the other.
TEST(PcfFontTest, TheGlyphTableIsGeneratedFromTheMiscFixedFont) {
    const OrvaneTest::ProcessResult result = OrvaneTest::runProcess(
        {MAKE_GLYPH_BITMAP, kFontPath, "6x12-ISO8859-1.pcf.gz in the Debian package xfonts-base"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    // Standard output is in text mode: on Windows the table comes with CR LF.
    EXPECT_EQ(result.out, OrvaneTest::textMode(OrvaneTest::readFile(ORVANE_SOURCE_DIR
                                                                    "/OpenGlLib/GlyphBitmap.cpp")));
}

}  // namespace
