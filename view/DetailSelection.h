#pragma once
// The samples of a trajectory piece worth drawing for one camera.
//
// A point of size 2.5 covers the 2 x 2 pixels around the pixel corner nearest to it, so every
// sample in the same "cell" (the unit square around a pixel corner) draws the same point, and
// a line segment inside a cell lights nothing outside those pixels. A long recording puts
// many samples in each cell; the picture needs only:
//   - one sample where the trajectory enters a cell (its point), the strip passing through
//     those samples while the trajectory goes from cell to neighbouring cell;
//   - both ends of a longer jump, so that the segment between them is the one of the full draw;
//   - nothing of a stretch that stays within cells already drawn and is entered and left from
//     neighbouring cells: the strip is broken there instead;
//   - the first and last sample of a stretch out of sight (beyond one edge of the window, in
//     front of the near plane or beyond the far one): the chord between them stays out of
//     sight as every segment it replaces did.
// The hierarchy settles whole runs at once, so a frame looks at few
// samples. Only corner pixels of diagonal steps may differ from the full draw.

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <vector>

#include "view/SampleHierarchy.h"

namespace Kor {

// How positions of a piece reach the window: camera point c = rotation * p + translation,
// seen at x = width/2 * (1 + c.x/c.z), y = height/2 + width/2 * c.y/c.z pixels (y down), when
// c.z lies between the near and far planes.
struct PieceProjection {
    std::array<double, 9> rotation{};  // row-major
    std::array<double, 3> translation{};
    double width = 0.0;
    double height = 0.0;
    double nearZ = 0.001;
    double farZ = 1000.0;
    // How far the rasteriser may put a vertex from where it is computed in double: its
    // subpixel step (GL promises 1/16 pixel or finer) and its float arithmetic.
    double snapPixels = 1.0 / 16.0;
};

// The cells of a window and of a margin around it: cell (x, y) is the square of side 1 around
// the pixel corner (x, y), x in [-kMargin, width + kMargin], y likewise.
class CellGrid {
public:
    // Cells beyond the window edge that are still told apart: a point reaches one pixel past
    // its cell, a line half a pixel.
    static constexpr int kMargin = 2;

    void resize(int width, int height) {
        mWidth = std::max(width, 0);
        mHeight = std::max(height, 0);
        mStride = static_cast<std::size_t>(mWidth) + 2 * kMargin + 1;
    }
    int width() const { return mWidth; }
    int height() const { return mHeight; }
    std::size_t size() const {
        return mStride * (static_cast<std::size_t>(mHeight) + 2 * kMargin + 1);
    }
    std::size_t offset(int x, int y) const {
        return static_cast<std::size_t>(y + kMargin) * mStride +
               static_cast<std::size_t>(x + kMargin);
    }

private:
    int mWidth = 0;
    int mHeight = 0;
    std::size_t mStride = 1;
};

// The cells that already show a point of the trajectory being selected, with the depth of the
// nearest one. Where trajectories meet, the colour of the nearer shows, so in a cell that
// another trajectory reaches ("contested"), a run nearer than what the cell shows must be
// drawn; elsewhere any point shown will do. Shared by the pieces of one trajectory.
class DrawnCells {
public:
    // Forgets every cell and every contest; sized for a window of width x height pixels.
    void reset(int width, int height);
    const CellGrid& grid() const { return mGrid; }

    void contest(int x, int y) { mContested[mGrid.offset(x, y)] = 1; }
    bool drawn(int x, int y) const { return mDepths[mGrid.offset(x, y)] < kNothing; }
    // Whether the cell shows the trajectory as it would show a point at this depth.
    bool shows(int x, int y, double depth) const {
        const std::size_t at = mGrid.offset(x, y);
        return mDepths[at] <= depth || (mDepths[at] < kNothing && mContested[at] == 0);
    }
    void draw(int x, int y, double depth) {
        float& nearest = mDepths[mGrid.offset(x, y)];
        nearest = std::min(nearest, static_cast<float>(depth));
    }

private:
    static constexpr float kNothing = std::numeric_limits<float>::infinity();

    CellGrid mGrid;
    std::vector<float> mDepths;
    std::vector<std::uint8_t> mContested;
};

// What to draw of a piece: points at every index, and one line strip per run of indices.
struct SampleSelection {
    struct Run {
        std::uint32_t start;  // into indices
        std::uint32_t count;
    };
    std::vector<std::uint32_t> indices;  // increasing, always the first and the last sample
    std::vector<Run> runs;
};

// Chooses what to draw of the piece (with its hierarchy) for the projection, and marks the
// cells its points cover in `cells`. A window without pixels shows nothing; the first and the
// last sample then stand for the rest.
void selectSamples(const TrajectoryPiece& piece, const SampleHierarchy& hierarchy,
                   const PieceProjection& projection, DrawnCells& cells,
                   SampleSelection& selection);

}  // namespace Kor
