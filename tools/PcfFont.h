#pragma once
// Reads the glyphs of a bitmap font in the X11 portable compiled format (PCF, as the fonts of
// /usr/share/fonts/X11/misc are stored once unzipped), for the glyph table generator.
// Every count and offset is checked against the file, so a damaged font gives an error, and
// memory stays within a small multiple of the file's size.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace OrvaneTools {

struct PcfGlyph {
    // Metrics as the font gives them: ink from leftBearing to rightBearing (exclusive), from
    // ascent rows above the baseline to descent rows below it.
    int32_t leftBearing = 0;
    int32_t rightBearing = 0;
    int32_t width = 0;  // advance
    int32_t ascent = 0;
    int32_t descent = 0;
    std::vector<uint8_t> ink;  // 0 or 1, (rightBearing - leftBearing) per row, top row first

    int32_t columns() const { return rightBearing - leftBearing; }
    int32_t rows() const { return ascent + descent; }
    bool at(int32_t column, int32_t row) const {
        return ink[static_cast<size_t>(row) * static_cast<size_t>(columns()) +
                   static_cast<size_t>(column)] != 0;
    }
};

struct PcfFont {
    int32_t ascent = 0;  // of the font, above the baseline
    int32_t descent = 0;
    std::map<std::string, std::string> properties;  // the text-valued ones (FONT, COPYRIGHT...)
    std::map<uint32_t, PcfGlyph> glyphs;            // by character code; absent codes missing
};

// The glyphs of the single-byte codes first..last that the font has. On failure returns
// nothing and says why in error.
std::optional<PcfFont> ReadPcfFont(std::string_view bytes, uint32_t first, uint32_t last,
                                   std::string& error);

}  // namespace OrvaneTools
