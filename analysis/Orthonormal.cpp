#include "analysis/Orthonormal.h"

#include <cmath>

#include "analysis/Matrix3.h"

namespace Kor {

bool isOrthonormal(const Mat3& R) {
    const Mat3 RRt = matMulT(R, R);
    for (int k = 0; k < 9; ++k) {
        // Written as "not within" so that a NaN entry is not taken for orthonormal.
        const double error = RRt[k] - kIdentity3[k];
        if (!(std::fabs(error) <= kOrthonormalTolerance)) {
            return false;
        }
    }
    return true;
}

void orthonormalise(Mat3& R) {
    const auto scaleRow = [&R](int row, double factor) {
        for (int j = 0; j < 3; ++j) {
            R[3 * row + j] *= factor;
        }
    };
    const auto rowSquares = [&R](int row) {
        return R[3 * row] * R[3 * row] + R[3 * row + 1] * R[3 * row + 1] +
               R[3 * row + 2] * R[3 * row + 2];
    };

    scaleRow(0, 1.0 / std::sqrt(rowSquares(0)));

    const double along = R[3] * R[0] + R[4] * R[1] + R[5] * R[2];
    for (int j = 0; j < 3; ++j) {
        R[3 + j] -= along * R[j];
    }
    scaleRow(1, 1.0 / std::sqrt(rowSquares(1)));

    const Vec3 row2 = cross({R[0], R[1], R[2]}, {R[3], R[4], R[5]});
    R[6] = row2[0];
    R[7] = row2[1];
    R[8] = row2[2];
}

}  // namespace Kor
