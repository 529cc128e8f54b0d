#pragma once
// Where a window's menu puts its items: a grid of 80-pixel columns from x = 10 and 40-pixel
// rows stacking upward from 10 pixels above the bottom edge, filled row by row from the
// bottom left. Positions are client pixels, y down.

#include <cstddef>
#include <cstdint>
#include <optional>

#include "OpenGlLib/GLWindowEvents.h"

namespace Kor {

class MenuGrid {
public:
    explicit MenuGrid(WindowSize window);

    // As many whole columns as the width holds, at least one.
    int64_t Columns() const { return mColumns; }

    // Top-left corner of the index-th item's text.
    WindowPoint TextPosition(size_t index) const;

    // The index of the cell under the point; none left of the first column, right of the last
    // one, below the bottom row or above the window.
    std::optional<size_t> IndexAt(const WindowPoint& point) const;

    // How many of count items have a row that reaches into the window; the rows above it are
    // not drawn.
    size_t VisibleCount(size_t count) const;

private:
    int64_t mHeight;
    int64_t mColumns;
};

}  // namespace Kor
