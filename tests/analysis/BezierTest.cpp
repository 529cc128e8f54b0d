#include "analysis/Bezier.h"

#include <gtest/gtest.h>

#include "tests/analysis/MathTestSupport.h"

using namespace Kor;
using OrvaneTest::allNear;

namespace {

// de Casteljau on n points of one axis: a different algorithm than the Bernstein sum.
double deCasteljau(const double* c, int n, double u) {
    double p[6];
    for (int i = 0; i < n; ++i) {
        p[i] = c[i];
    }
    for (int level = n - 1; level > 0; --level) {
        for (int i = 0; i < level; ++i) {
            p[i] = (1 - u) * p[i] + u * p[i + 1];
        }
    }
    return p[0];
}

// The derivatives as the hodograph curves: 5 * (quartic of differences), 20 * (cubic of
// second differences).
BezierEvaluation oracle(const ControlPoints& points, double u) {
    BezierEvaluation out;
    for (int axis = 0; axis < 3; ++axis) {
        const double* c = &points[6 * axis];
        double d1[5], d2[4];
        for (int i = 0; i < 5; ++i) {
            d1[i] = c[i + 1] - c[i];
        }
        for (int i = 0; i < 4; ++i) {
            d2[i] = d1[i + 1] - d1[i];
        }
        out.value[axis] = deCasteljau(c, 6, u);
        out.first[axis] = 5 * deCasteljau(d1, 5, u);
        out.second[axis] = 20 * deCasteljau(d2, 4, u);
    }
    return out;
}

}  // namespace

TEST(EvaluateBezier, MatchesDeCasteljauAndTheHodographInsideAndOutside) {
    std::mt19937 engine(11);
    for (int trial = 0; trial < 8; ++trial) {
        const ControlPoints points = OrvaneTest::randomArray<18>(engine, 10.0);
        for (double u : {-0.5, 0.0, 0.1, 0.5, 0.77, 1.0, 1.3}) {
            const BezierEvaluation got = evaluateBezier(points, u);
            const BezierEvaluation want = oracle(points, u);
            EXPECT_TRUE(allNear(got.value, want.value, 1e-13)) << u;
            EXPECT_TRUE(allNear(got.first, want.first, 1e-12)) << u;
            EXPECT_TRUE(allNear(got.second, want.second, 1e-11)) << u;
        }
    }
}
