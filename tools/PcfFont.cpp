#include "tools/PcfFont.h"

#include <algorithm>

namespace OrvaneTools {

namespace {

// Table types of the table of contents.
constexpr uint32_t kProperties = 1u << 0;
constexpr uint32_t kAccelerators = 1u << 1;
constexpr uint32_t kMetrics = 1u << 2;
constexpr uint32_t kBitmaps = 1u << 3;
constexpr uint32_t kEncodings = 1u << 5;
constexpr uint32_t kBdfAccelerators = 1u << 8;

// Format bits of each table.
constexpr uint32_t kCompressedMetrics = 0x100;
constexpr uint32_t kMostSignificantByteFirst = 1u << 2;
constexpr uint32_t kMostSignificantBitFirst = 1u << 3;

constexpr uint16_t kNoGlyph = 0xFFFF;

// Reads values from one table, in the byte order its format names. A read beyond the table
// sets a sticky failure and gives 0.
class TableReader {
public:
    explicit TableReader(std::string_view table) : mTable(table) {}

    // Reads the format word that begins every table (always least significant byte first)
    // and takes the byte order it names.
    void ReadFormat() {
        mFormat = U32();
        mBigEndian = (mFormat & kMostSignificantByteFirst) != 0;
    }

    uint32_t format() const { return mFormat; }
    bool failed() const { return mFailed; }
    size_t remaining() const { return mFailed ? 0 : mTable.size() - mPosition; }

    std::string_view Take(size_t count) {
        if (count > remaining()) {
            mFailed = true;
            return {};
        }
        const std::string_view taken = mTable.substr(mPosition, count);
        mPosition += count;
        return taken;
    }
    void Skip(size_t count) { Take(count); }

    uint32_t Unsigned(size_t width) {
        const std::string_view bytes = Take(width);
        uint32_t value = 0;
        for (size_t i = 0; i < bytes.size(); ++i) {
            const auto byte = static_cast<uint8_t>(bytes[mBigEndian ? i : bytes.size() - 1 - i]);
            value = (value << 8) | byte;
        }
        return value;
    }
    uint32_t U32() { return Unsigned(4); }
    int32_t I32() { return static_cast<int32_t>(U32()); }
    uint16_t U16() { return static_cast<uint16_t>(Unsigned(2)); }
    int16_t I16() { return static_cast<int16_t>(U16()); }
    uint8_t U8() { return static_cast<uint8_t>(Unsigned(1)); }

private:
    std::string_view mTable;
    size_t mPosition = 0;
    uint32_t mFormat = 0;
    bool mBigEndian = false;
    bool mFailed = false;
};

struct TableEntry {
    uint32_t type = 0;
    uint64_t offset = 0;
    uint64_t size = 0;
};

class FontFile {
public:
    FontFile(std::string_view bytes, std::string& error) : mBytes(bytes), mError(error) {}

    bool ReadTableOfContents() {
        if (mBytes.size() < 8 || mBytes.substr(0, 4) != std::string_view("\1fcp", 4)) {
            return Fail("not a PCF font (no \"\\1fcp\" header)");
        }
        TableReader header(mBytes.substr(4));  // least significant byte first
        const uint32_t count = header.U32();
        if (count > header.remaining() / 16) {
            return Fail("table of contents longer than the file");
        }
        for (uint32_t i = 0; i < count; ++i) {
            TableEntry entry;
            entry.type = header.U32();
            header.Skip(4);  // the format is repeated at the start of the table
            entry.size = header.U32();
            entry.offset = header.U32();
            if (entry.offset + 4 > mBytes.size()) {
                return Fail("table " + std::to_string(i) + " lies outside the file");
            }
            // Fonts in the wild give the last table's size with padding the file lacks.
            entry.size = std::min<uint64_t>(entry.size, mBytes.size() - entry.offset);
            mTables.push_back(entry);
        }
        return true;
    }

    std::optional<TableReader> Table(uint32_t type) const {
        for (const TableEntry& entry : mTables) {
            if (entry.type == type) {
                TableReader table(mBytes.substr(entry.offset, entry.size));
                table.ReadFormat();
                return table;
            }
        }
        return std::nullopt;
    }

    bool Fail(const std::string& why) {
        mError = why;
        return false;
    }

private:
    std::string_view mBytes;
    std::string& mError;
    std::vector<TableEntry> mTables;
};

// The NUL-terminated text at offset in the string pool (to its end when unterminated).
std::string PoolString(std::string_view pool, int32_t offset) {
    if (offset < 0 || static_cast<size_t>(offset) >= pool.size()) {
        return {};
    }
    const std::string_view rest = pool.substr(static_cast<size_t>(offset));
    return std::string(rest.substr(0, rest.find('\0')));
}

bool ReadProperties(TableReader table, PcfFont& font) {
    const int32_t count = table.I32();
    if (count < 0 || static_cast<size_t>(count) > table.remaining() / 9) {
        return false;
    }
    struct Property {
        int32_t name;
        bool isText;
        int32_t value;
    };
    std::vector<Property> list;
    for (int32_t i = 0; i < count; ++i) {
        Property property{};
        property.name = table.I32();
        property.isText = table.U8() != 0;
        property.value = table.I32();
        list.push_back(property);
    }
    table.Skip((count & 3) == 0 ? 0 : 4 - (count & 3));
    const int32_t poolSize = table.I32();
    const std::string_view pool = table.Take(poolSize < 0 ? SIZE_MAX : size_t(poolSize));
    if (table.failed()) {
        return false;
    }
    for (const Property& property : list) {
        if (property.isText) {
            font.properties[PoolString(pool, property.name)] = PoolString(pool, property.value);
        }
    }
    return true;
}

bool ReadAccelerators(TableReader table, PcfFont& font) {
    table.Skip(8);  // flags and padding
    font.ascent = table.I32();
    font.descent = table.I32();
    return !table.failed();
}

std::vector<PcfGlyph> ReadMetrics(TableReader table, bool& ok) {
    std::vector<PcfGlyph> metrics;
    const bool compressed = (table.format() & kCompressedMetrics) != 0;
    const size_t count = compressed ? table.U16() : table.U32();
    const size_t recordSize = compressed ? 5 : 12;
    if (table.failed() || count > table.remaining() / recordSize) {
        ok = false;
        return metrics;
    }
    metrics.resize(count);
    for (PcfGlyph& glyph : metrics) {
        if (compressed) {
            glyph.leftBearing = table.U8() - 0x80;
            glyph.rightBearing = table.U8() - 0x80;
            glyph.width = table.U8() - 0x80;
            glyph.ascent = table.U8() - 0x80;
            glyph.descent = table.U8() - 0x80;
        } else {
            glyph.leftBearing = table.I16();
            glyph.rightBearing = table.I16();
            glyph.width = table.I16();
            glyph.ascent = table.I16();
            glyph.descent = table.I16();
            table.Skip(2);  // attributes
        }
    }
    ok = !table.failed();
    return metrics;
}

// Fills the ink of one glyph from its bits, checking that they lie within the bitmap data.
bool ReadInk(std::string_view data, uint32_t format, size_t offset, PcfGlyph& glyph) {
    if (glyph.columns() < 0 || glyph.rows() < 0) {
        return false;
    }
    const size_t pad = size_t{1} << (format & 3);
    const size_t unit = size_t{1} << ((format >> 4) & 3);
    const auto columns = static_cast<size_t>(glyph.columns());
    const auto rows = static_cast<size_t>(glyph.rows());
    const size_t bytesPerRow = ((columns + 7) / 8 + pad - 1) / pad * pad;
    if (offset > data.size() || rows * bytesPerRow > data.size() - offset) {
        return false;
    }
    const bool bigEndian = (format & kMostSignificantByteFirst) != 0;
    const bool highBitFirst = (format & kMostSignificantBitFirst) != 0;
    glyph.ink.assign(rows * columns, 0);
    for (size_t y = 0; y < rows; ++y) {
        for (size_t x = 0; x < columns; ++x) {
            size_t byte = x / 8;
            // Bytes within a scan unit are stored in the table's byte order.
            if (!bigEndian && unit > 1) {
                byte = byte / unit * unit + (unit - 1 - byte % unit);
            }
            const auto bits = static_cast<uint8_t>(data[offset + y * bytesPerRow + byte]);
            const unsigned mask = highBitFirst ? 0x80u >> (x % 8) : 1u << (x % 8);
            glyph.ink[y * columns + x] = (bits & mask) != 0 ? 1 : 0;
        }
    }
    return true;
}

}  // namespace

std::optional<PcfFont> ReadPcfFont(std::string_view bytes, uint32_t first, uint32_t last,
                                   std::string& error) {
    FontFile file(bytes, error);
    if (!file.ReadTableOfContents()) {
        return std::nullopt;
    }
    std::optional<TableReader> properties = file.Table(kProperties);
    std::optional<TableReader> accelerators = file.Table(kBdfAccelerators);
    if (!accelerators) {
        accelerators = file.Table(kAccelerators);
    }
    std::optional<TableReader> metricsTable = file.Table(kMetrics);
    std::optional<TableReader> bitmaps = file.Table(kBitmaps);
    std::optional<TableReader> encodings = file.Table(kEncodings);
    if (!accelerators || !metricsTable || !bitmaps || !encodings) {
        file.Fail("the font lacks accelerator, metrics, bitmap or encoding tables");
        return std::nullopt;
    }

    PcfFont font;
    if (properties && !ReadProperties(*properties, font)) {
        file.Fail("damaged properties table");
        return std::nullopt;
    }
    if (!ReadAccelerators(*accelerators, font)) {
        file.Fail("damaged accelerator table");
        return std::nullopt;
    }
    bool metricsOk = true;
    std::vector<PcfGlyph> metrics = ReadMetrics(*metricsTable, metricsOk);
    if (!metricsOk) {
        file.Fail("damaged metrics table");
        return std::nullopt;
    }

    TableReader& bitmapTable = *bitmaps;
    const uint32_t glyphCount = bitmapTable.U32();
    if (glyphCount > bitmapTable.remaining() / 4) {
        file.Fail("damaged bitmap table");
        return std::nullopt;
    }
    std::vector<uint32_t> offsets(glyphCount);
    for (uint32_t& offset : offsets) {
        offset = bitmapTable.U32();
    }
    uint32_t dataSizes[4] = {};
    for (uint32_t& size : dataSizes) {
        size = bitmapTable.U32();
    }
    const std::string_view data = bitmapTable.Take(dataSizes[bitmapTable.format() & 3]);
    if (bitmapTable.failed()) {
        file.Fail("bitmap data longer than its table");
        return std::nullopt;
    }

    TableReader& encodingTable = *encodings;
    const int32_t firstColumn = encodingTable.I16();
    const int32_t lastColumn = encodingTable.I16();
    const int32_t firstRow = encodingTable.I16();
    const int32_t lastRow = encodingTable.I16();
    encodingTable.Skip(2);  // default character
    if (encodingTable.failed() || lastColumn < firstColumn || lastRow < firstRow) {
        file.Fail("damaged encoding table");
        return std::nullopt;
    }
    const auto columnCount = static_cast<size_t>(lastColumn - firstColumn + 1);
    const auto rowCount = static_cast<size_t>(lastRow - firstRow + 1);
    if (columnCount * rowCount > encodingTable.remaining() / 2) {
        file.Fail("encoding table longer than the file");
        return std::nullopt;
    }
    std::vector<uint16_t> glyphOfCode(columnCount * rowCount);
    for (uint16_t& index : glyphOfCode) {
        index = encodingTable.U16();
    }

    // Single-byte codes sit in row 0 of the two-byte encoding.
    for (uint32_t code = first; code <= last && code <= 0xFF && firstRow <= 0 && lastRow >= 0;
         ++code) {
        const auto column = static_cast<int32_t>(code);
        if (column < firstColumn || column > lastColumn) {
            continue;
        }
        const size_t slot = static_cast<size_t>(-firstRow) * columnCount +
                            static_cast<size_t>(column - firstColumn);
        const uint16_t index = glyphOfCode[slot];
        if (index == kNoGlyph) {
            continue;
        }
        if (index >= metrics.size() || index >= offsets.size()) {
            file.Fail("character " + std::to_string(code) + " names a glyph the font lacks");
            return std::nullopt;
        }
        PcfGlyph glyph = metrics[index];
        if (!ReadInk(data, bitmapTable.format(), offsets[index], glyph)) {
            file.Fail("the bitmap of character " + std::to_string(code) + " is damaged");
            return std::nullopt;
        }
        font.glyphs[code] = std::move(glyph);
    }
    return font;
}

}  // namespace OrvaneTools
