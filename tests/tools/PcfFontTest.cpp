// The PCF reader on small fonts written here in each byte order, bit order, row padding and
// metrics form, on damaged ones, and the generator on the committed copy of the real font.
#include "tools/PcfFont.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/support/Process.h"
#include "tests/support/TempDir.h"

namespace {

using OrvaneTools::PcfFont;
using OrvaneTools::ReadPcfFont;

struct Layout {
    bool bigEndian = true;
    bool highBitFirst = true;
    unsigned padPower = 2;   // rows padded to 1 << padPower bytes
    unsigned unitPower = 0;  // scan units of 1 << unitPower bytes
    bool compressed = true;
};

// The ink of glyph 'A': 10 columns (two bytes a row) by 3 rows.
const std::vector<std::string> kInk = {"#........#", "........#.", ".##......."};

class FontWriter {
public:
    explicit FontWriter(Layout layout) : mLayout(layout) {}

    // Patches applied to the finished bytes, to damage them.
    uint16_t glyphIndexOfA = 0;
    int ascentOfA = 2;

    std::string bytes() const {
        const uint32_t order = (mLayout.bigEndian ? 4u : 0u) | (mLayout.highBitFirst ? 8u : 0u) |
                               mLayout.padPower | (mLayout.unitPower << 4);
        const std::vector<std::pair<uint32_t, std::string>> tables = {
            {1, Table(order,
                      [](Out& out) {  // properties: FONT = "tiny"
                          out.U32(1);
                          out.U32(0);                     // name offset
                          out.U8(1);                      // a text
                          out.U32(5);                     // value offset
                          out.Raw(std::string(3, '\0'));  // to four bytes
                          out.U32(10);
                          out.Raw(std::string("FONT\0tiny\0", 10));
                      })},
            {2, Table(order,
                      [](Out& out) {  // accelerators
                          out.Raw(std::string(8, '\0'));
                          out.U32(10);  // ascent
                          out.U32(2);   // descent
                          out.U32(0);
                      })},
            {4, Table(order | (mLayout.compressed ? 0x100u : 0u),
                      [&](Out& out) {  // metrics of glyph 0
                          if (mLayout.compressed) {
                              out.U16(1);
                              for (int value : {1, 11, 12, ascentOfA, 1}) {
                                  out.U8(static_cast<uint8_t>(value + 0x80));
                              }
                          } else {
                              out.U32(1);
                              for (int value : {1, 11, 12, ascentOfA, 1, 0}) {
                                  out.U16(static_cast<uint16_t>(value));
                              }
                          }
                      })},
            {8, Table(order, [&](Out& out) { Bitmaps(out); })},
            {32, Table(order,
                       [&](Out& out) {  // 'A' and 'B', 'B' without a glyph
                           for (uint16_t value : {65, 66, 0, 0, 0}) {  // columns, rows, default
                               out.U16(value);
                           }
                           out.U16(glyphIndexOfA);
                           out.U16(0xFFFF);
                       })},
        };
        std::string file("\1fcp", 4);
        Out header{false, file};
        header.U32(static_cast<uint32_t>(tables.size()));
        size_t offset = 8 + 16 * tables.size();
        for (const auto& [type, table] : tables) {
            for (size_t value : {size_t{type}, size_t{0}, table.size(), offset}) {
                header.U32(static_cast<uint32_t>(value));
            }
            offset += table.size();
        }
        for (const auto& table : tables) {
            file += table.second;
        }
        return file;
    }

private:
    struct Out {
        bool big;
        std::string& to;
        void Unsigned(uint32_t value, int width) {
            for (int i = 0; i < width; ++i) {
                const int shift = 8 * (big ? width - 1 - i : i);
                to += static_cast<char>((value >> shift) & 0xFF);
            }
        }
        void U32(uint32_t value) { Unsigned(value, 4); }
        void U16(uint16_t value) { Unsigned(value, 2); }
        void U8(uint8_t value) { Unsigned(value, 1); }
        void Raw(const std::string& bytes) { to += bytes; }
    };

    std::string Table(uint32_t format, const std::function<void(Out&)>& body) const {
        std::string table;
        Out{false, table}.U32(format);
        Out out{(format & 4u) != 0, table};
        body(out);
        return table;
    }

    void Bitmaps(Out& out) const {
        const size_t pad = size_t{1} << mLayout.padPower;
        const size_t unit = size_t{1} << mLayout.unitPower;
        const size_t bytesPerRow = (2 + pad - 1) / pad * pad;
        std::string data(bytesPerRow * kInk.size(), '\0');
        for (size_t y = 0; y < kInk.size(); ++y) {
            for (size_t x = 0; x < kInk[y].size(); ++x) {
                if (kInk[y][x] != '#') {
                    continue;
                }
                size_t byte = x / 8;
                if (!mLayout.bigEndian && unit > 1) {
                    byte = byte / unit * unit + (unit - 1 - byte % unit);
                }
                const unsigned bit = mLayout.highBitFirst ? 0x80u >> (x % 8) : 1u << (x % 8);
                data[y * bytesPerRow + byte] =
                    static_cast<char>(data[y * bytesPerRow + byte] | bit);
            }
        }
        out.U32(1);  // one glyph, at offset 0
        out.U32(0);
        for (unsigned power = 0; power < 4; ++power) {
            out.U32(power == mLayout.padPower ? static_cast<uint32_t>(data.size()) : 0);
        }
        out.Raw(data);
    }

    Layout mLayout;
};

std::vector<std::string> inkOf(const OrvaneTools::PcfGlyph& glyph) {
    std::vector<std::string> rows;
    for (int32_t y = 0; y < glyph.rows(); ++y) {
        std::string row;
        for (int32_t x = 0; x < glyph.columns(); ++x) {
            row += glyph.at(x, y) ? '#' : '.';
        }
        rows.push_back(row);
    }
    return rows;
}

TEST(PcfFontTest, ReadsGlyphsInEveryByteOrderBitOrderPaddingAndMetricsForm) {
    const Layout layouts[] = {
        {true, true, 2, 0, true},     // as the X11 misc fonts are stored
        {false, false, 0, 0, false},  // least significant first, rows not padded
        {false, true, 2, 2, true},    // bytes of 4-byte units swapped
        {true, false, 1, 1, false},   // units in the reading order already
        {false, false, 3, 1, true},
    };
    for (const Layout& layout : layouts) {
        std::string error;
        const std::optional<PcfFont> font = ReadPcfFont(FontWriter(layout).bytes(), 32, 127, error);
        ASSERT_TRUE(font) << error;
        EXPECT_EQ(font->ascent, 10);
        EXPECT_EQ(font->descent, 2);
        EXPECT_EQ(font->properties.at("FONT"), "tiny");
        ASSERT_EQ(font->glyphs.size(), 1u);  // 'B' has none
        const OrvaneTools::PcfGlyph& a = font->glyphs.at('A');
        EXPECT_EQ(a.leftBearing, 1);
        EXPECT_EQ(a.width, 12);
        EXPECT_EQ(a.ascent, 2);
        EXPECT_EQ(inkOf(a), kInk);
    }
}

TEST(PcfFontTest, DamagedFontsAreRefusedWithAReason) {
    struct Case {
        const char* name;
        std::function<std::string()> bytes;
        std::string reason;
    };
    const Case cases[] = {
        {"no magic", [] { return std::string("\0fcp\0\0\0\0", 8); }, "not a PCF font"},
        {"contents beyond the file",
         [] {
             std::string bytes = FontWriter({}).bytes();
             bytes[4] = '\x7f';
             return bytes;
         },
         "table of contents longer than the file"},
        {"a glyph the metrics lack",
         [] {
             FontWriter writer({});
             writer.glyphIndexOfA = 3;
             return writer.bytes();
         },
         "character 65 names a glyph the font lacks"},
        {"metrics larger than the bitmap",
         [] {
             FontWriter writer({});
             writer.ascentOfA = 100;
             return writer.bytes();
         },
         "the bitmap of character 65 is damaged"},
        {"an encoding table beyond its end",
         [] {
             std::string bytes = FontWriter({}).bytes();
             bytes.resize(bytes.size() - 2);  // the last index is cut
             return bytes;
         },
         "encoding table longer than the file"},
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_FALSE(ReadPcfFont(c.bytes(), 32, 127, error)) << c.name;
        EXPECT_EQ(error.rfind(c.reason, 0), 0u) << c.name << ": " << error;
    }
    // Cut anywhere, the font is refused; nothing is read beyond the end (ASan watches).
    const std::string whole = FontWriter({}).bytes();
    for (size_t length = 0; length < whole.size(); ++length) {
        std::string error;
        EXPECT_FALSE(ReadPcfFont(whole.substr(0, length), 32, 127, error)) << length;
    }
}

// The committed table is what the generator makes of the committed copy of the font, so
// neither can change without the other.
TEST(PcfFontTest, TheGlyphTableIsGeneratedFromTheMiscFixedFont) {
    const OrvaneTest::ProcessResult result = OrvaneTest::runProcess(
        {MAKE_GLYPH_BITMAP, ORVANE_SOURCE_DIR "/fuzz/corpus/pcf_font/misc-fixed-6x12-ISO8859-1.pcf",
         "6x12-ISO8859-1.pcf.gz in the Debian package xfonts-base"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out, OrvaneTest::readFile(ORVANE_SOURCE_DIR "/OpenGlLib/GlyphBitmap.cpp"));
}

}  // namespace
