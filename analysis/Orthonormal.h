#pragma once
// Checking and restoring orthonormality of rotation matrices.

#include "analysis/Types.h"

namespace Kor {

// Largest entry error of R * R^T - I that still counts as orthonormal.
inline constexpr double kOrthonormalTolerance = 1.053e-08;

// True when every entry of R * R^T - I has a magnitude of at most kOrthonormalTolerance
// (false for a matrix holding a NaN).
bool isOrthonormal(const Mat3& R);

// Gram-Schmidt by rows: row 0 normalised, row 1 made orthogonal to it and normalised, row 2
// replaced by row 0 x row 1.
void orthonormalise(Mat3& R);

}  // namespace Kor
