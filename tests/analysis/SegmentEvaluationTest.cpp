#include "analysis/SegmentEvaluation.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <vector>

#include "analysis/Bezier.h"
#include "analysis/Matrix3.h"
#include "tests/analysis/MathTestSupport.h"

// Every allocation of this test binary is counted, so a test can assert that a call made none.
namespace {
std::atomic<long> gAllocations{0};
}

void* operator new(std::size_t size) {
    gAllocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size == 0 ? 1 : size)) {
        return p;
    }
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

using namespace Kor;
using OrvaneTest::allNear;

namespace {

// Random curves whose rotation vector stays in one regime of the coefficients: |r|^2 below
// the series border, in the rational range, and beyond (up to angles near pi).
SegmentCurve randomCurve(std::mt19937& engine, double rotationScale) {
    SegmentCurve curve;
    curve.positionControlPoints = OrvaneTest::randomArray<18>(engine, 5.0);
    curve.rotationControlPoints = OrvaneTest::randomArray<18>(engine, rotationScale);
    curve.baseRotation = OrvaneTest::rotationAbout(OrvaneTest::randomArray<3>(engine, 1.0), 1.1L);
    return curve;
}

// d/du of an array-valued function by the five-point central stencil (error O(h^4)).
template <typename F>
auto derivative(F f, double u, double h) {
    const auto p2 = f(u + 2 * h), p1 = f(u + h), m1 = f(u - h), m2 = f(u - 2 * h);
    auto out = p2;
    for (std::size_t k = 0; k < out.size(); ++k) {
        out[k] = (m2[k] - p2[k] + 8 * (p1[k] - m1[k])) / (12 * h);
    }
    return out;
}

// dT/du * T^-1 = [[omega]x, v; 0, 0] from differences of the transform alone.
Twist numericVelocity(const SegmentCurve& curve, double u) {
    const double h = 1e-4;
    const Mat3 dR = derivative([&](double v) { return evaluateSegment(curve, v).rotation; }, u, h);
    const Vec3 dt =
        derivative([&](double v) { return evaluateSegment(curve, v).translation; }, u, h);
    const SegmentEvaluation here = evaluateSegment(curve, u);
    const Mat3 Omega = matMulT(dR, here.rotation);
    const Vec3 omega = {Omega[7], Omega[2], Omega[3]};
    const Vec3 omega_t = cross(omega, here.translation);
    return {dt[0] - omega_t[0], dt[1] - omega_t[1], dt[2] - omega_t[2],
            omega[0],           omega[1],           omega[2]};
}

}  // namespace

TEST(EvaluateSegment, TwistsMatchFiniteDifferencesInEveryRegime) {
    std::mt19937 engine(5);
    for (double rotationScale : {0.004, 0.2, 1.2}) {
        for (int trial = 0; trial < 4; ++trial) {
            const SegmentCurve curve = randomCurve(engine, rotationScale);
            for (double u : {-0.2, 0.0, 0.3, 0.9, 1.0}) {
                const SegmentEvaluation e = evaluateSegment(curve, u);
                EXPECT_TRUE(allNear(e.velocity, numericVelocity(curve, u), 1e-9))
                    << rotationScale << " at " << u;
                const Twist numeric = derivative(
                    [&](double v) { return evaluateSegment(curve, v).velocity; }, u, 1e-4);
                EXPECT_TRUE(allNear(e.acceleration, numeric, 1e-9)) << rotationScale << " at " << u;
                // The body origin is the position curve.
                EXPECT_TRUE(allNear(negate(matTVec(e.rotation, e.translation)),
                                    evaluateBezier(curve.positionControlPoints, u).value, 1e-14));
            }
        }
    }
}

TEST(EvaluateSegment, ZeroRotationCurveLeavesTheBaseRotation) {
    std::mt19937 engine(9);
    SegmentCurve curve = randomCurve(engine, 0.0);
    const BezierEvaluation p = evaluateBezier(curve.positionControlPoints, 0.4);
    const SegmentEvaluation e = evaluateSegment(curve, 0.4);
    EXPECT_EQ(e.rotation, curve.baseRotation);
    for (int i = 3; i < 6; ++i) {
        EXPECT_EQ(e.velocity[i], 0.0);
        EXPECT_EQ(e.acceleration[i], 0.0);
    }
    curve.baseRotation = kIdentity3;
    const SegmentEvaluation plain = evaluateSegment(curve, 0.4);
    EXPECT_EQ(plain.translation, negate(p.value));
    EXPECT_TRUE(allNear(plain.velocity, {-p.first[0], -p.first[1], -p.first[2], 0, 0, 0}, 0));
    EXPECT_TRUE(
        allNear(plain.acceleration, {-p.second[0], -p.second[1], -p.second[2], 0, 0, 0}, 0));
}

TEST(EvaluateSegment, AllocatesNothing) {
    std::mt19937 engine(1);
    const SegmentCurve curve = randomCurve(engine, 1.2);
    const long before = gAllocations.load();
    double sink = 0.0;
    for (double u = -0.5; u <= 1.5; u += 0.25) {
        sink += evaluateSegment(curve, u).acceleration[5];
        sink += evaluateRotation(curve.rotationControlPoints, curve.baseRotation, u).alpha[0];
    }
    EXPECT_EQ(gAllocations.load(), before);
    EXPECT_TRUE(std::isfinite(sink));
    // The counter works: a vector allocates.
    int* volatile probe = new int(1);
    delete probe;
    EXPECT_GT(gAllocations.load(), before);
}
