#pragma once
// What a choice of samples to draw must hold, worked out from the projection and the pixels a
// point covers, not from how selectSamples goes about it:
//   - the indices increase, include the first and the last sample, and the runs of the strip
//     cover them in order;
//   - every footprint cell that a sample lies clearly inside (so that any rasteriser sees it
//     there) shows a chosen sample;
//   - a sample that is not finite is chosen;
//   - where the trajectory jumps (to a sample at least kLongJump cells away, or between the
//     window and a sample out of sight), both ends are chosen, one after the other in one run,
//     so that the segment between them is drawn as it is.
// Shared by the selection's test and its fuzz target.

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <utility>

#include "view/DetailSelection.h"

namespace OrvaneTest {

// Jumps shorter than this may lie inside a run the selection leaves out as drawn already.
inline constexpr int kLongJump = 5;

struct SeenSample {
    bool finite = true;
    bool inFront = false;  // between the near and far planes
    bool inCells = false;  // in front, and in a cell told apart (the window and its margin)
    bool clear = false;    // in such a cell, clearly inside
    int x = 0, y = 0;
};

inline SeenSample seeSample(const Kor::Vec3f& p, const Kor::PieceProjection& projection) {
    const auto& R = projection.rotation;
    const auto& t = projection.translation;
    const double c[3] = {R[0] * p[0] + R[1] * p[1] + R[2] * p[2] + t[0],
                         R[3] * p[0] + R[4] * p[1] + R[5] * p[2] + t[1],
                         R[6] * p[0] + R[7] * p[1] + R[8] * p[2] + t[2]};
    SeenSample s;
    s.finite = std::isfinite(c[0]) && std::isfinite(c[1]) && std::isfinite(c[2]);
    s.inFront = s.finite && c[2] >= projection.nearZ && c[2] <= projection.farZ;
    if (!s.inFront) {
        return s;
    }
    const double half = projection.width / 2;
    const double wx = half + half * c[0] / c[2] + 0.5;
    const double wy = projection.height / 2 + half * c[1] / c[2] + 0.5;
    const int m = Kor::CellGrid::kMargin;
    if (!(wx >= -m && wx < projection.width + m + 1 && wy >= -m &&
          wy < projection.height + m + 1)) {
        return s;
    }
    s.inCells = true;
    s.x = static_cast<int>(std::floor(wx));
    s.y = static_cast<int>(std::floor(wy));
    const double inset = std::min({wx - s.x, s.x + 1 - wx, wy - s.y, s.y + 1 - wy});
    s.clear = inset >= projection.snapPixels;
    return s;
}

// The first fault of `selection` for `piece`, chosen with fresh DrawnCells; empty when none.
inline std::string selectionFault(const Kor::TrajectoryPiece& piece,
                                  const Kor::PieceProjection& projection,
                                  const Kor::SampleSelection& selection) {
    const auto& indices = selection.indices;
    const std::size_t n = piece.positions.size();
    if (n == 0) {
        return indices.empty() && selection.runs.empty() ? "" : "a choice for no samples";
    }
    if (indices.empty() || indices.front() != 0 || indices.back() != n - 1) {
        return "the first or the last sample is missing";
    }
    for (std::size_t k = 1; k < indices.size(); ++k) {
        if (indices[k] <= indices[k - 1]) {
            return "indices do not increase at " + std::to_string(k);
        }
    }
    std::size_t next = 0;
    std::vector<std::size_t> runOf(indices.size());
    for (std::size_t r = 0; r < selection.runs.size(); ++r) {
        const auto& run = selection.runs[r];
        if (run.start != next || run.count == 0) {
            return "runs do not cover the indices in order";
        }
        for (std::size_t k = run.start; k < run.start + run.count; ++k) {
            runOf[k] = r;
        }
        next += run.count;
    }
    if (next != indices.size()) {
        return "runs do not cover the indices";
    }
    if (!(projection.width > 0 && projection.height > 0)) {
        return "";
    }

    std::vector<SeenSample> seen(n);
    for (std::size_t j = 0; j < n; ++j) {
        seen[j] = seeSample(piece.positions[j], projection);
    }
    std::vector<std::size_t> position(n, SIZE_MAX);  // of each chosen sample in indices
    std::set<std::pair<int, int>> shown;
    for (std::size_t k = 0; k < indices.size(); ++k) {
        position[indices[k]] = k;
        if (seen[indices[k]].inCells) {
            shown.insert({seen[indices[k]].x, seen[indices[k]].y});
        }
    }
    const auto visible = [&](const SeenSample& s) {
        return s.inCells && s.x >= 0 && s.x <= projection.width && s.y >= 0 &&
               s.y <= projection.height;
    };
    for (std::size_t j = 0; j < n; ++j) {
        if (!seen[j].finite && position[j] == SIZE_MAX) {
            return "sample " + std::to_string(j) + ", not finite, is left out";
        }
        if (visible(seen[j]) && seen[j].clear && shown.count({seen[j].x, seen[j].y}) == 0) {
            return "cell (" + std::to_string(seen[j].x) + ", " + std::to_string(seen[j].y) +
                   ") of sample " + std::to_string(j) + " shows no chosen sample";
        }
        if (j + 1 == n) {
            continue;
        }
        const SeenSample &a = seen[j], &b = seen[j + 1];
        const bool longJump = a.inCells && b.inCells &&
                              std::max(std::abs(a.x - b.x), std::abs(a.y - b.y)) >= kLongJump;
        const bool intoSight = a.finite && b.finite && (visible(a) != visible(b)) &&
                               (visible(a) ? !b.inCells : !a.inCells);
        if ((longJump || intoSight) &&
            (position[j] == SIZE_MAX || position[j + 1] != position[j] + 1 ||
             runOf[position[j]] != runOf[position[j + 1]])) {
            return "the segment from sample " + std::to_string(j) + " is not drawn as it is";
        }
    }
    return "";
}

}  // namespace OrvaneTest
