#include "view/DetailSelection.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace Kor {

void DrawnCells::reset(int width, int height) {
    mGrid.resize(width, height);
    mDepths.assign(mGrid.size(), kNothing);
    mContested.assign(mGrid.size(), 0);
}

namespace {

// Runs whose box has more cells than this are not looked up whole.
constexpr double kMaxLookedUpCells = 16;

constexpr std::size_t kNone = std::numeric_limits<std::size_t>::max();

// Where a sample, or every sample of a run, lies. Each place but Cell and Unknown is a convex
// region out of sight: in front of the near plane, beyond the far one, or beyond one edge of
// the window by more than the margin. Unknown is a sample that is not finite.
enum class Place : std::uint8_t { Cell, Near, Far, Left, Right, Above, Below, Unknown };

struct Key {
    Place place = Place::Unknown;
    int x = 0;  // the cell, for Place::Cell
    int y = 0;

    // Samples with the same key draw as one chain: they share a cell, or a region out of
    // sight. Samples that are not finite stand alone.
    bool sameAs(const Key& other) const {
        return place == other.place && place != Place::Unknown &&
               (place != Place::Cell || (x == other.x && y == other.y));
    }
    bool inCellsAround(int x0, int x1, int y0, int y1) const {
        return place == Place::Cell && x >= x0 - 1 && x <= x1 + 1 && y >= y0 - 1 && y <= y1 + 1;
    }
    bool touches(const Key& other) const {
        return other.place == Place::Cell && inCellsAround(other.x, other.x, other.y, other.y);
    }
};

// The cells [x0, x1] x [y0, y1] a run or a sample may draw in, as doubles: far away they need
// not fit an int.
struct CellBox {
    double x0, x1, y0, y1;

    bool oneCell() const { return x0 == x1 && y0 == y1; }
    double cells() const { return (x1 - x0 + 1) * (y1 - y0 + 1); }
    // At most two cells across and down: the cells around one edge or corner.
    bool aroundOneCorner() const { return x1 - x0 <= 1 && y1 - y0 <= 1; }
};

class Selector {
public:
    Selector(const TrajectoryPiece& piece, const SampleHierarchy& hierarchy,
             const PieceProjection& projection, DrawnCells& cells, SampleSelection& selection)
        : mPiece(piece),
          mHierarchy(hierarchy),
          mP(projection),
          mCells(cells),
          mOut(selection),
          mCount(hierarchy.sampleCount()),
          mHalfWidth(0.5 * projection.width),
          mHalfHeight(0.5 * projection.height),
          mHighestX(projection.width + CellGrid::kMargin),
          mHighestY(projection.height + CellGrid::kMargin) {
        // The planes |x| = kx z and |y| = ky z through the outer edges of the outermost
        // cells told apart.
        const double edge = CellGrid::kMargin + 0.5;
        mKx = (mHalfWidth + edge) / mHalfWidth;
        mKy = (mHalfHeight + edge) / mHalfWidth;
        mNormX = std::sqrt(1.0 + mKx * mKx);
        mNormY = std::sqrt(1.0 + mKy * mKy);
    }

    void run() {
        visit(mHierarchy.levelCount() - 1, 0, cameraPointOf(0), cameraPointOf(mCount - 1));
        settleBands(nullptr);
        finishChain(Key{});
    }

private:
    struct CameraPoint {
        double x, y, z;
    };

    // Consecutive samples with one key. It shows as its first sample clearly inside its cell,
    // or, when it only grazes the cell, as the sample deepest inside.
    struct Chain {
        Key key;
        std::size_t last = 0;
        bool shown = false;
        std::size_t shownAt = kNone;
        std::size_t deepest = 0;
        double deepestInset = -1.0;
    };

    // A run or a sample close enough to an edge or a corner of cells for the rasteriser to
    // draw it on either side: where the trajectory crosses from cell to cell. Nothing of it
    // need be drawn when its cells are drawn by what comes before and right after it, so it
    // waits for that; otherwise it is looked at more closely.
    struct Band {
        CellBox box;
        std::size_t first, last;
        std::size_t level;  // of its run; kNone for a single sample
        std::size_t index;
        CameraPoint a, b;  // its first and last sample
        double nearest;    // no sample of it is nearer to the camera
    };

    // The keys of a block of samples being visited and of its two neighbours.
    struct BlockKeys {
        std::array<Key, SampleHierarchy::kBlockSize + 2> keys;
        std::size_t from = 0;
        std::size_t count = 0;
    };

    CameraPoint toCamera(const Vec3f& p) const {
        const auto& R = mP.rotation;
        const auto& t = mP.translation;
        const double x = p[0], y = p[1], z = p[2];
        return {R[0] * x + R[1] * y + R[2] * z + t[0], R[3] * x + R[4] * y + R[5] * z + t[1],
                R[6] * x + R[7] * y + R[8] * z + t[2]};
    }

    // Where a camera point in front of the camera is seen, shifted by half a pixel: its cell
    // is the floor of each coordinate.
    std::array<double, 2> seenAt(const CameraPoint& c) const {
        return {mHalfWidth + mHalfWidth * c.x / c.z + 0.5,
                mHalfHeight + mHalfWidth * c.y / c.z + 0.5};
    }

    // The cells within `spread` pixels of a point seen at `at`, or within the rasteriser's
    // rounding of them.
    CellBox boxAround(const std::array<double, 2>& at, double spread) const {
        spread += mP.snapPixels;
        return {std::floor(at[0] - spread), std::floor(at[0] + spread), std::floor(at[1] - spread),
                std::floor(at[1] + spread)};
    }

    // The side of the cells told apart that the box lies beyond, or Cell.
    Place beyond(const CellBox& box) const {
        if (box.x1 < -CellGrid::kMargin) {
            return Place::Left;
        }
        if (box.x0 > mHighestX) {
            return Place::Right;
        }
        if (box.y1 < -CellGrid::kMargin) {
            return Place::Above;
        }
        if (box.y0 > mHighestY) {
            return Place::Below;
        }
        return Place::Cell;
    }

    bool withinCells(const CellBox& box) const {
        return box.x0 >= -CellGrid::kMargin && box.x1 <= mHighestX &&
               box.y0 >= -CellGrid::kMargin && box.y1 <= mHighestY;
    }

    // The side out of sight that holds every point within r of the segment [a, b], or Cell.
    Place runBeyond(const CameraPoint& a, const CameraPoint& b, double r) const {
        if (std::max(a.z, b.z) + r < mP.nearZ) {
            return Place::Near;
        }
        if (std::min(a.z, b.z) - r > mP.farZ) {
            return Place::Far;
        }
        const double rx = r * mNormX, ry = r * mNormY;
        if (-(a.x + mKx * a.z) > rx && -(b.x + mKx * b.z) > rx) {
            return Place::Left;
        }
        if (a.x - mKx * a.z > rx && b.x - mKx * b.z > rx) {
            return Place::Right;
        }
        if (-(a.y + mKy * a.z) > ry && -(b.y + mKy * b.z) > ry) {
            return Place::Above;
        }
        if (a.y - mKy * a.z > ry && b.y - mKy * b.z > ry) {
            return Place::Below;
        }
        return Place::Cell;
    }

    CameraPoint cameraPointOf(std::size_t j) const { return toCamera(mPiece.positions[j]); }

    // Sample j: its key; for a cell also the cells it may draw in, how far inside its own cell
    // it is seen (in pixels) and its depth.
    Key keyOf(std::size_t j, CellBox* box = nullptr, double* inset = nullptr,
              double* depth = nullptr) const {
        const CameraPoint c = cameraPointOf(j);
        if (!std::isfinite(c.x) || !std::isfinite(c.y) || !std::isfinite(c.z)) {
            return {};
        }
        if (c.z < mP.nearZ) {
            return {Place::Near};
        }
        if (c.z > mP.farZ) {
            return {Place::Far};
        }
        const std::array<double, 2> at = seenAt(c);
        const double x = std::floor(at[0]), y = std::floor(at[1]);
        const Place out = beyond({x, x, y, y});
        if (out != Place::Cell) {
            return {out};
        }
        if (box != nullptr) {
            *box = boxAround(at, 0.0);
            *inset = std::min({at[0] - x, x + 1.0 - at[0], at[1] - y, y + 1.0 - at[1]});
            *depth = c.z;
        }
        return {Place::Cell, static_cast<int>(x), static_cast<int>(y)};
    }

    Key cachedKey(std::size_t j) const {
        if (mBlockKeys != nullptr && j >= mBlockKeys->from &&
            j < mBlockKeys->from + mBlockKeys->count) {
            return mBlockKeys->keys[j - mBlockKeys->from];
        }
        return keyOf(j);
    }

    // Run i of level k, whose first and last samples are seen at a and b.
    void visit(std::size_t k, std::size_t i, const CameraPoint& a, const CameraPoint& b) {
        const std::size_t first = mHierarchy.firstSample(k, i);
        const std::size_t last = mHierarchy.endSample(k, i) - 1;
        const double r = mHierarchy.thickness(k, i);
        const Place out = runBeyond(a, b, r);
        if (out != Place::Cell) {
            add({out}, first, last);
            return;
        }
        const double nearest = std::min(a.z, b.z);
        if (nearest - r > mP.nearZ && std::max(a.z, b.z) + r < mP.farZ) {
            // A straight segment in front of the camera is seen as one. A point p within r of a
            // point c of it is seen within r sqrt(c.z^2 + m^2) / (c.z (c.z - r)) of c, with m
            // the larger of |c.x| and |c.y|; that is largest at the nearest end.
            const double m =
                std::max({std::fabs(a.x), std::fabs(a.y), std::fabs(b.x), std::fabs(b.y)});
            const double spread =
                mHalfWidth * r * std::sqrt(nearest * nearest + m * m) / (nearest * (nearest - r)) +
                mP.snapPixels;
            const std::array<double, 2> seenA = seenAt(a), seenB = seenAt(b);
            const CellBox box{std::floor(std::min(seenA[0], seenB[0]) - spread),
                              std::floor(std::max(seenA[0], seenB[0]) + spread),
                              std::floor(std::min(seenA[1], seenB[1]) - spread),
                              std::floor(std::max(seenA[1], seenB[1]) + spread)};
            const Place side = beyond(box);
            if (side != Place::Cell) {
                add({side}, first, last);
                return;
            }
            if (box.cells() <= kMaxLookedUpCells &&
                settleRun({box, first, last, k, i, a, b, nearest - r})) {
                return;
            }
        }
        visitParts(k, i, a, b);
    }

    void visitParts(std::size_t k, std::size_t i, const CameraPoint& a, const CameraPoint& b) {
        if (k == 0) {
            visitSamples(mHierarchy.firstSample(0, i), mHierarchy.endSample(0, i) - 1);
            return;
        }
        if (2 * i + 1 >= mHierarchy.runCount(k - 1)) {
            visit(k - 1, 2 * i, a, b);
            return;
        }
        const SampleHierarchy::Split& split = mHierarchy.split(k, i);
        visit(k - 1, 2 * i, a, toCamera(split.before));
        visit(k - 1, 2 * i + 1, toCamera(split.after), b);
    }

    void visitSamples(std::size_t first, std::size_t last) {
        std::array<CellBox, SampleHierarchy::kBlockSize> boxes;
        std::array<double, SampleHierarchy::kBlockSize> insets;
        std::array<double, SampleHierarchy::kBlockSize> depths;
        BlockKeys block;
        block.from = first > 0 ? first - 1 : first;
        block.count = std::min(last + 2, mCount) - block.from;
        for (std::size_t j = block.from; j < block.from + block.count; ++j) {
            const bool inBlock = j >= first && j <= last;
            block.keys[j - block.from] =
                inBlock ? keyOf(j, &boxes[j - first], &insets[j - first], &depths[j - first])
                        : keyOf(j);
        }
        const BlockKeys* outer = mBlockKeys;
        for (std::size_t j = first; j <= last; ++j) {
            mBlockKeys = &block;  // a band settled on the way visits blocks of its own
            const Key& key = block.keys[j - block.from];
            if (key.place == Place::Cell) {
                settleSample(boxes[j - first], key, insets[j - first], depths[j - first], j);
            } else {
                add(key, j, j);
            }
        }
        mBlockKeys = outer;
    }

    // A run in front of the camera whose samples all lie in the cells of `box`: settled
    // without a closer look, or false.
    bool settleRun(const Band& run) {
        const CellBox& box = run.box;
        const Key cell{Place::Cell, static_cast<int>(box.x0), static_cast<int>(box.y0)};
        if (box.oneCell() && mHaveChain && mChain.key.sameAs(cell)) {
            add(cell, run.first, run.last, 1.0, run.a.z);
            return true;
        }
        if (withinCells(box) && showAlready(box, run.nearest) &&
            enteredAndLeftNearby(box, run.first, run.last)) {
            breakStrip();
            return true;
        }
        if (box.oneCell()) {
            add(cell, run.first, run.last, 1.0, run.a.z);
            return true;
        }
        if (withinCells(box) && box.aroundOneCorner() && enteredNearby(box, run.first)) {
            mBands.push_back(run);
            return true;
        }
        return false;
    }

    void settleSample(const CellBox& box, const Key& key, double inset, double depth,
                      std::size_t j) {
        if (mHaveChain && mChain.key.sameAs(key)) {
            add(key, j, j, inset, depth);
        } else if (withinCells(box) && showAlready(box, depth) && enteredAndLeftNearby(box, j, j)) {
            breakStrip();
        } else if (box.oneCell() || !withinCells(box) || !enteredNearby(box, j)) {
            add(key, j, j, inset, depth);
        } else {
            mBands.push_back({box, j, j, kNone, j, {}, {}, depth});
        }
    }

    // Whether every cell of the box shows the trajectory as a point at `depth` would (or, the
    // cell of `next`, is about to).
    bool showAlready(const CellBox& box, double depth, const Key* next = nullptr) const {
        for (int y = static_cast<int>(box.y0); y <= static_cast<int>(box.y1); ++y) {
            for (int x = static_cast<int>(box.x0); x <= static_cast<int>(box.x1); ++x) {
                if (!mCells.shows(x, y, depth) &&
                    !(next != nullptr && next->x == x && next->y == y)) {
                    return false;
                }
            }
        }
        return true;
    }

    // Whether the samples just before and just after the run lie in cells around its box, so
    // that the segments to them light only pixels of cells drawn anyway (up to the corners).
    bool enteredAndLeftNearby(const CellBox& box, std::size_t first, std::size_t last) const {
        return enteredNearby(box, first) && last + 1 < mCount && nearby(box, cachedKey(last + 1));
    }

    // Whether the strip comes to the run from a cell around its box: a jump to it must be
    // drawn as it is, from its first sample.
    bool enteredNearby(const CellBox& box, std::size_t first) const {
        return first > 0 && nearby(box, cachedKey(first - 1));
    }

    static bool nearby(const CellBox& box, const Key& key) {
        return key.inCellsAround(static_cast<int>(box.x0), static_cast<int>(box.x1),
                                 static_cast<int>(box.y0), static_cast<int>(box.y1));
    }

    // Settles the waiting bands before `next`, the cell about to draw its point (or nothing):
    // without a vertex when their cells are drawn or are that cell, the strip passing from the
    // chain before them to what follows; otherwise a closer look at each, in order.
    void settleBands(const Key* next) {
        while (!mBands.empty()) {
            const bool drawnAround = std::all_of(
                mBands.begin(), mBands.end(),
                [&](const Band& band) { return showAlready(band.box, band.nearest, next); });
            if (drawnAround) {
                passBands();
                return;
            }
            std::vector<Band> bands = takeBands();
            for (const Band& band : bands) {
                if (band.level != kNone) {
                    visitParts(band.level, band.index, band.a, band.b);
                    continue;
                }
                // A single sample is drawn as it is, the chain keeping it if needed.
                CellBox box;
                double inset = 0.0, depth = 0.0;
                const Key key = keyOf(band.first, &box, &inset, &depth);
                add(key, band.first, band.first, inset, depth);
            }
            bands.clear();
            mSpareBands.push_back(std::move(bands));
        }
    }

    // The waiting bands, leaving an empty list (with room, from an earlier one) to wait in.
    std::vector<Band> takeBands() {
        std::vector<Band> bands;
        bands.swap(mBands);
        if (!mSpareBands.empty()) {
            mBands.swap(mSpareBands.back());
            mSpareBands.pop_back();
        }
        return bands;
    }

    // Bands with every cell drawn: the chain before them runs on through them. With no chain
    // (the strip is broken), one starts at their last sample: drawn only when nothing clear
    // joins it, it stands ready for a jump that may follow.
    void passBands() {
        const std::size_t last = mBands.back().last;
        mBands.clear();
        if (!mHaveChain) {
            mChain = {keyOf(last), last, false, kNone, last, -1.0};
            mHaveChain = true;
        }
        mChain.last = last;
    }

    // The samples [first, last] with this key, after every sample before them is settled.
    // `inset` tells how far inside its cell the first one is seen, `depth` how far away.
    void add(const Key& key, std::size_t first, std::size_t last, double inset = 1.0,
             double depth = 0.0) {
        const bool joins = mHaveChain && mChain.key.sameAs(key);
        if (!mBands.empty()) {
            // Only a chain's first clear sample draws a cell.
            const bool drawsCell = !joins && key.place == Place::Cell && inset >= mP.snapPixels;
            settleBands(drawsCell ? &key : nullptr);
        }
        if (!(mHaveChain && mChain.key.sameAs(key))) {
            finishChain(key);
            mChain = {key, last, false, kNone, first, -1.0};
            mHaveChain = true;
            if (first == 0 || !cachedKey(first - 1).touches(key)) {
                keep(first);  // the end of a jump (or the piece's start), clear or not
            }
        }
        mChain.last = last;
        if (mChain.shown) {
            return;
        }
        if (inset >= mP.snapPixels) {
            keep(first);
            mChain.shown = true;
            mChain.shownAt = first;
            if (key.place == Place::Cell) {
                mCells.draw(key.x, key.y, depth);
            }
        } else if (inset > mChain.deepestInset) {
            mChain.deepest = first;
            mChain.deepestInset = inset;
        }
    }

    // A chain that only grazes its cell draws its sample deepest inside, which the rasteriser
    // most likely sees there too, without counting the cell as drawn.
    void showGrazing() {
        if (!mChain.shown) {
            keep(mChain.deepest);
            mChain.shown = true;
            mChain.shownAt = mChain.deepest;
        }
    }

    // Where the strip leaves the chain for anywhere but a neighbouring cell, that segment is
    // drawn as it is, from the chain's last sample.
    void finishChain(const Key& next) {
        if (!mHaveChain) {
            return;
        }
        showGrazing();
        if (mChain.last != mChain.shownAt && !mChain.key.touches(next)) {
            keep(mChain.last);
        }
        mHaveChain = false;
    }

    // What follows is drawn already: the strip ends at the chain, without its last sample
    // (the segments from there light only cells drawn anyway).
    void breakStrip() {
        settleBands(nullptr);
        if (mHaveChain) {
            showGrazing();
        }
        mHaveChain = false;
        mRunOpen = false;
    }

    void keep(std::size_t index) {
        if (mRunOpen && mOut.indices.back() == index) {
            return;
        }
        if (!mRunOpen) {
            mOut.runs.push_back({static_cast<std::uint32_t>(mOut.indices.size()), 0});
            mRunOpen = true;
        }
        mOut.indices.push_back(static_cast<std::uint32_t>(index));
        ++mOut.runs.back().count;
    }

    const TrajectoryPiece& mPiece;
    const SampleHierarchy& mHierarchy;
    const PieceProjection& mP;
    DrawnCells& mCells;
    SampleSelection& mOut;
    std::size_t mCount;
    double mHalfWidth;
    double mHalfHeight;
    double mHighestX;
    double mHighestY;
    double mKx = 1.0, mKy = 1.0, mNormX = 1.0, mNormY = 1.0;
    Chain mChain;
    bool mHaveChain = false;
    bool mRunOpen = false;
    std::vector<Band> mBands;  // waiting, in order
    std::vector<std::vector<Band>> mSpareBands;
    const BlockKeys* mBlockKeys = nullptr;
};

}  // namespace

void selectSamples(const TrajectoryPiece& piece, const SampleHierarchy& hierarchy,
                   const PieceProjection& projection, DrawnCells& cells,
                   SampleSelection& selection) {
    selection.indices.clear();
    selection.runs.clear();
    const std::size_t count = hierarchy.sampleCount();
    if (count == 0) {
        return;
    }
    if (!(projection.width > 0.0 && projection.height > 0.0)) {
        selection.indices.push_back(0);
        if (count > 1) {
            selection.indices.push_back(static_cast<std::uint32_t>(count - 1));
        }
        selection.runs.push_back({0, static_cast<std::uint32_t>(selection.indices.size())});
        return;
    }
    Selector(piece, hierarchy, projection, cells, selection).run();
}

}  // namespace Kor
