// Where the menu's items go and which item a point names.
#include "OpenGlLib/GLMenuLayout.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

namespace {

using Kor::MenuGrid;
using Kor::WindowPoint;
using Kor::WindowSize;

constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
constexpr int32_t kMax = std::numeric_limits<int32_t>::max();

TEST(MenuGrid, FillsRowsFromTheBottomLeftUpward) {
    struct Case {
        WindowSize window;
        int64_t columns;
        std::vector<WindowPoint> positions;  // of items 0, 1, ...
    };
    const std::vector<Case> cases = {
        {{400, 300}, 4, {{20, 260}, {100, 260}, {180, 260}, {260, 260}, {20, 220}, {100, 220}}},
        {{89, 300}, 1, {{20, 260}, {20, 220}, {20, 180}}},
        {{90, 300}, 1, {{20, 260}, {20, 220}}},
        {{170, 300}, 2, {{20, 260}, {100, 260}, {20, 220}}},
        {{0, 50}, 1, {{20, 10}, {20, -30}}},
        {{kMin, 0}, 1, {{20, -40}}},
    };
    for (const Case& c : cases) {
        const MenuGrid grid(c.window);
        EXPECT_EQ(grid.Columns(), c.columns) << c.window.width;
        for (size_t i = 0; i < c.positions.size(); ++i) {
            EXPECT_EQ(grid.TextPosition(i), c.positions[i]) << c.window.width << " item " << i;
        }
    }
    // Rows far beyond any window stay above it instead of wrapping around.
    const WindowPoint far = MenuGrid({kMax, kMax}).TextPosition(SIZE_MAX);
    EXPECT_LT(far.y, 0);
}

TEST(MenuGrid, APointNamesTheCellUnderItAndNothingOutsideTheCells) {
    struct Case {
        WindowSize window;
        WindowPoint point;
        std::optional<size_t> index;
    };
    const std::optional<size_t> none;
    const std::vector<Case> cases = {
        // 400 x 300: four columns from x = 10, rows of 40 upward from y = 290.
        {{400, 300}, {10, 290}, 0},
        {{400, 300}, {89, 251}, 0},
        {{400, 300}, {90, 290}, 1},
        {{400, 300}, {329, 290}, 3},
        {{400, 300}, {20, 250}, 4},
        {{400, 300}, {329, 250}, 7},
        {{400, 300}, {20, 0}, 28},
        // Right of the last column: formerly the first item of the row above.
        {{400, 300}, {350, 290}, none},
        {{400, 300}, {399, 250}, none},
        // Left of the first column, below the bottom row, above the window.
        {{400, 300}, {9, 290}, none},
        {{400, 300}, {-5, 290}, none},
        {{400, 300}, {20, 291}, none},
        {{400, 300}, {20, 299}, none},
        {{400, 300}, {20, -1}, none},
        {{400, 300}, {kMin, kMin}, none},
        {{400, 300}, {kMax, kMax}, none},
        // One column in a narrow window; its cell reaches beyond the window's right edge.
        {{60, 300}, {59, 290}, 0},
        {{60, 300}, {20, 250}, 1},
        {{60, 300}, {90, 290}, none},
        {{kMax, kMax}, {kMax, 0}, none},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MenuGrid(c.window).IndexAt(c.point), c.index)
            << c.window.width << "x" << c.window.height << " at " << c.point.x << "," << c.point.y;
    }
}

TEST(MenuGrid, CountsTheItemsWhoseRowReachesIntoTheWindow) {
    EXPECT_EQ(MenuGrid({400, 300}).VisibleCount(5), 5u);
    EXPECT_EQ(MenuGrid({400, 300}).VisibleCount(1000000), 28u);  // 7 rows of 4
    EXPECT_EQ(MenuGrid({400, 27}).VisibleCount(10), 0u);
    EXPECT_EQ(MenuGrid({400, 28}).VisibleCount(10), 4u);  // one pixel row of text shows
    EXPECT_EQ(MenuGrid({400, kMin}).VisibleCount(10), 0u);
    EXPECT_EQ(MenuGrid({kMax, kMax}).VisibleCount(SIZE_MAX), size_t{53687091} * 26843545);
    // The first item not counted is the first whose text lies wholly above the window.
    for (int32_t height : {0, 27, 28, 67, 68, 300, 479, 480}) {
        const MenuGrid grid({170, height});
        const size_t visible = grid.VisibleCount(1000);
        if (visible > 0) {
            EXPECT_GT(grid.TextPosition(visible - 1).y + 13, 0) << height;
        }
        EXPECT_LE(grid.TextPosition(visible).y + 13, 0) << height;
    }
}

}  // namespace
