#include "OpenGlLib/GLMenuLayout.h"

#include <algorithm>
#include <limits>

namespace Kor {

namespace {

constexpr int64_t kColumnWidth = 80;
constexpr int64_t kRowHeight = 40;
constexpr int64_t kMargin = 10;  // left of the first column, below the bottom row
constexpr int64_t kTextIndent = 20;
// A line of text reaches from one pixel above its position to 13 below.
constexpr int64_t kTextBottom = 13;

int32_t saturated(int64_t value) {
    return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

}  // namespace

MenuGrid::MenuGrid(WindowSize window)
    : mHeight(window.height),
      mColumns(std::max<int64_t>((int64_t{window.width} - kMargin) / kColumnWidth, 1)) {}

WindowPoint MenuGrid::TextPosition(size_t index) const {
    const auto i = static_cast<uint64_t>(index);
    const auto columns = static_cast<uint64_t>(mColumns);
    const int64_t column = static_cast<int64_t>(i % columns);
    // Rows far above the window only need to stay above it.
    const int64_t row =
        static_cast<int64_t>(std::min<uint64_t>(i / columns, std::numeric_limits<int32_t>::max()));
    return {saturated(column * kColumnWidth + kTextIndent),
            saturated(mHeight - (row + 1) * kRowHeight)};
}

std::optional<size_t> MenuGrid::IndexAt(const WindowPoint& point) const {
    // Offsets into the grid, which starts at the left margin and grows upward from the bottom
    // one; a negative offset is outside it (truncating division would fold it into the first
    // cell).
    const int64_t right = int64_t{point.x} - kMargin;
    const int64_t up = mHeight - kMargin - point.y;
    if (right < 0 || up < 0 || point.y < 0) {
        return std::nullopt;
    }
    const int64_t column = right / kColumnWidth;
    if (column >= mColumns) {
        return std::nullopt;
    }
    const int64_t row = up / kRowHeight;
    return static_cast<size_t>(column + row * mColumns);
}

size_t MenuGrid::VisibleCount(size_t count) const {
    // Row r shows while its text's bottom, at height - (r + 1) * 40 + 13, is below the top edge.
    const int64_t rows = std::max<int64_t>((mHeight + kTextBottom - 1) / kRowHeight, 0);
    return static_cast<size_t>(std::min<uint64_t>(count, static_cast<uint64_t>(rows * mColumns)));
}

}  // namespace Kor
