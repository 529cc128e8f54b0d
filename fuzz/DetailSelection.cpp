// The samples a camera draws of a trajectory made of arbitrary bytes (dense runs, jumps, samples
// that are not finite, huge ones, a camera anywhere, windows of any size): the choice must keep
// what SelectionOracle says the picture needs, with and without contested cells, and neither
// the hierarchy nor the choice may read out of bounds or fail.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

#include "tests/support/SelectionOracle.h"
#include "view/DetailSelection.h"

namespace {

class Bytes {
public:
    Bytes(const uint8_t* data, size_t size) : mData(data), mSize(size) {}
    bool empty() const { return mAt >= mSize; }
    uint8_t byte() { return mAt < mSize ? mData[mAt++] : 0; }
    double signedUnit() { return (static_cast<int>(byte()) - 128) / 128.0; }

private:
    const uint8_t* mData;
    size_t mSize;
    size_t mAt = 0;
};

Kor::Mat3 rotation(double yaw, double pitch) {
    const double cy = std::cos(yaw), sy = std::sin(yaw), cp = std::cos(pitch), sp = std::sin(pitch);
    // Rx(pitch) * Ry(yaw)
    return {cy, 0, sy, sp * sy, cp, -sp * cy, -cp * sy, sp, cp * cy};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Bytes in(data, size);
    const Kor::Mat3 R = rotation(3.2 * in.signedUnit(), 3.2 * in.signedUnit());
    const double distance = std::ldexp(in.signedUnit(), in.byte() % 24 - 12);
    const double panX = 4 * in.signedUnit(), panY = 4 * in.signedUnit();
    const int width = in.byte() % 2 == 0 ? in.byte() % 40 : 1 + in.byte() * 3;
    const int height = 1 + in.byte() * 2;
    const int snapBits = 4 + in.byte() % 6;

    // Samples: a walk whose step each byte scales, with jumps and special values.
    std::vector<Kor::PoseSample> poses;
    Kor::Vec3 p{0, 0, 0};
    double step = 1e-3;
    while (!in.empty() && poses.size() < 20000) {
        const uint8_t op = in.byte();
        const int repeat = 1 + in.byte();
        for (int r = 0; r < repeat && poses.size() < 20000; ++r) {
            switch (op % 16) {
                case 0:
                    step = std::ldexp(1.0, in.byte() % 40 - 30);
                    break;
                case 1:
                    p = {2 * in.signedUnit(), 2 * in.signedUnit(), 2 * in.signedUnit()};
                    break;
                case 2:
                    p[in.byte() % 3] = std::numeric_limits<double>::quiet_NaN();
                    break;
                case 3:
                    p[in.byte() % 3] =
                        in.byte() % 2 ? std::numeric_limits<double>::infinity() : 1e200;
                    break;
                default:
                    for (int axis = 0; axis < 3; ++axis) {
                        p[axis] += step * std::sin(op * (axis + 1) + r * 0.1 * (axis + 1));
                    }
                    if (!std::isfinite(p[0] + p[1] + p[2])) {
                        p = {0, 0, 0};
                    }
            }
            Kor::PoseSample sample;
            sample.position = p;
            poses.push_back(sample);
        }
    }

    for (const Kor::TrajectoryPiece& piece : Kor::splitIntoPieces(poses, 1 << 14)) {
        const Kor::SampleHierarchy hierarchy(piece);
        Kor::PieceProjection projection;
        projection.rotation = R;
        const Kor::Vec3 moved{
            R[0] * piece.origin[0] + R[1] * piece.origin[1] + R[2] * piece.origin[2],
            R[3] * piece.origin[0] + R[4] * piece.origin[1] + R[5] * piece.origin[2],
            R[6] * piece.origin[0] + R[7] * piece.origin[1] + R[8] * piece.origin[2]};
        projection.translation = {moved[0] + panX, moved[1] + panY, moved[2] + distance};
        projection.width = width;
        projection.height = height;
        projection.snapPixels = std::ldexp(1.0, -snapBits) + 1e-4;
        for (const bool contested : {false, true}) {
            Kor::DrawnCells cells;
            cells.reset(width, height);
            for (int y = 0; contested && y <= height; y += 2) {
                for (int x = 0; x <= width; ++x) {
                    cells.contest(x, y);
                }
            }
            Kor::SampleSelection selection;
            Kor::selectSamples(piece, hierarchy, projection, cells, selection);
            if (!OrvaneTest::selectionFault(piece, projection, selection).empty()) {
                std::abort();
            }
        }
    }
    return 0;
}
