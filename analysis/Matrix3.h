#pragma once
// Products of 3x3 row-major matrices and 3-vectors. Each sum is formed left to right over the
// inner index, so results are reproducible to the last bit.

#include "analysis/Types.h"

namespace Kor {

inline double dot(const Vec3& a, const Vec3& b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

inline double squaredNorm(const Vec3& a) {
    return a[0] * a[0] + a[1] * a[1] + a[2] * a[2];
}

inline Vec3 cross(const Vec3& a, const Vec3& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

// A * B.
inline Mat3 matMul(const Mat3& A, const Mat3& B) {
    Mat3 out;
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            out[3 * i + j] = A[3 * i] * B[j] + A[3 * i + 1] * B[3 + j] + A[3 * i + 2] * B[6 + j];
        }
    }
    return out;
}

// A * B^T.
inline Mat3 matMulT(const Mat3& A, const Mat3& B) {
    Mat3 out;
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            out[3 * i + j] =
                A[3 * i] * B[3 * j] + A[3 * i + 1] * B[3 * j + 1] + A[3 * i + 2] * B[3 * j + 2];
        }
    }
    return out;
}

// A * x.
inline Vec3 matVec(const Mat3& A, const Vec3& x) {
    return {A[0] * x[0] + A[1] * x[1] + A[2] * x[2], A[3] * x[0] + A[4] * x[1] + A[5] * x[2],
            A[6] * x[0] + A[7] * x[1] + A[8] * x[2]};
}

// A^T * x (for the body origin -R^T * t of a pose).
inline Vec3 matTVec(const Mat3& A, const Vec3& x) {
    return {A[0] * x[0] + A[3] * x[1] + A[6] * x[2], A[1] * x[0] + A[4] * x[1] + A[7] * x[2],
            A[2] * x[0] + A[5] * x[1] + A[8] * x[2]};
}

inline Mat3 negate(const Mat3& A) {
    Mat3 out;
    for (int k = 0; k < 9; ++k) {
        out[k] = -A[k];
    }
    return out;
}

inline Vec3 negate(const Vec3& a) {
    return {-a[0], -a[1], -a[2]};
}

// [w]x, the cross-product matrix: hat(w) * x = w x x.
inline Mat3 hat(const Vec3& w) {
    return {0.0, -w[2], w[1], w[2], 0.0, -w[0], -w[1], w[0], 0.0};
}

}  // namespace Kor
