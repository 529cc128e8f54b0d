#include "analysis/Bezier.h"

namespace Kor {

BezierEvaluation evaluateBezier(const ControlPoints& points, double u) {
    // Bernstein basis of degree 5 and its first two derivatives, from powers of u and w = 1 - u,
    // computed once for all three axes.
    const double w = 1.0 - u;
    const double u2 = u * u, u3 = u2 * u, u4 = u3 * u, u5 = u4 * u;
    const double w2 = w * w, w3 = w2 * w, w4 = w3 * w, w5 = w4 * w;
    const double uw3 = u * w3, u2w2 = u2 * w2, u3w = u3 * w;
    const double uw2 = u * w2, u2w = u2 * w;

    const double b[6] = {w5, 5.0 * u * w4, 10.0 * u2 * w3, 10.0 * u3 * w2, 5.0 * u4 * w, u5};
    const double db[6] = {-5.0 * w4,
                          5.0 * w4 - 20.0 * uw3,
                          20.0 * uw3 - 30.0 * u2w2,
                          30.0 * u2w2 - 20.0 * u3w,
                          20.0 * u3w - 5.0 * u4,
                          5.0 * u4};
    const double ddb[6] = {20.0 * w3,
                           60.0 * uw2 - 40.0 * w3,
                           20.0 * w3 - 120.0 * uw2 + 60.0 * u2w,
                           60.0 * uw2 - 120.0 * u2w + 20.0 * u3,
                           60.0 * u2w - 40.0 * u3,
                           20.0 * u3};

    BezierEvaluation out;
    for (int axis = 0; axis < 3; ++axis) {
        const double* c = &points[6 * axis];
        // Summed from the first term, not from 0.0, so that a sum of -0.0 terms stays -0.0.
        double value = b[0] * c[0], first = db[0] * c[0], second = ddb[0] * c[0];
        for (int i = 1; i < 6; ++i) {
            value += b[i] * c[i];
            first += db[i] * c[i];
            second += ddb[i] * c[i];
        }
        out.value[axis] = value;
        out.first[axis] = first;
        out.second[axis] = second;
    }
    return out;
}

}  // namespace Kor
