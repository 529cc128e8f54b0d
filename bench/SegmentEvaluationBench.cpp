// Segment evaluation and spline sampling against straightforward versions in the same run.
//
// evaluateSegment: "baseline" recomputes the coefficients with std::sin/std::cos for each of R,
// J and dJ/du and rebuilds the Bernstein basis for every axis and order; "shared" is the
// library's evaluateSegment. Both visit the (segment, u) pairs of the sampling workload.
//
// sampleTrajectory: 1,000 segments, one interval, 10^6 samples. "baseline" searches with
// std::upper_bound, evaluates with the baseline and grows its vectors; "library" is
// sampleTrajectory. Both get fresh pages from the system for every run, as the program does.
// sampleTrajectoryWarm runs the same on memory the heap keeps between runs; its
// "evaluationOnly" is the library evaluation of the same pairs, so that library minus
// evaluationOnly is the cost of the search, the scaling and the two appends.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "analysis/Bezier.h"
#include "analysis/Matrix3.h"
#include "analysis/Rotation.h"
#include "analysis/SampleTrajectory.h"
#include "analysis/SegmentEvaluation.h"
#include "bench/support/RatioMain.h"

using namespace Kor;

namespace {

// ---- the straightforward evaluation -------------------------------------------------------

// One axis, one derivative order at a time: the basis is rebuilt for every axis and order.
double bezierAxis(const double* c, double u, int order) {
    const double w = 1.0 - u;
    const double u2 = u * u, u3 = u2 * u, u4 = u3 * u, w2 = w * w, w3 = w2 * w, w4 = w3 * w;
    double b[6];
    if (order == 0) {
        b[0] = w4 * w, b[1] = 5 * u * w4, b[2] = 10 * u2 * w3;
        b[3] = 10 * u3 * w2, b[4] = 5 * u4 * w, b[5] = u4 * u;
    } else if (order == 1) {
        b[0] = -5 * w4, b[1] = 5 * w4 - 20 * u * w3, b[2] = 20 * u * w3 - 30 * u2 * w2;
        b[3] = 30 * u2 * w2 - 20 * u3 * w, b[4] = 20 * u3 * w - 5 * u4, b[5] = 5 * u4;
    } else {
        b[0] = 20 * w3, b[1] = 60 * u * w2 - 40 * w3, b[2] = 20 * w3 - 120 * u * w2 + 60 * u2 * w;
        b[3] = 60 * u * w2 - 120 * u2 * w + 20 * u3;
        b[4] = 60 * u2 * w - 40 * u3, b[5] = 20 * u3;
    }
    double sum = 0;
    for (int i = 0; i < 6; ++i) {
        sum += b[i] * c[i];
    }
    return sum;
}

Vec3 bezier(const ControlPoints& points, double u, int order) {
    return {bezierAxis(&points[0], u, order), bezierAxis(&points[6], u, order),
            bezierAxis(&points[12], u, order)};
}

RotationCoefficients directCoefficients(const Vec3& r) {
    const double theta = std::sqrt(squaredNorm(r));
    if (theta < 1e-4) {
        return rotationCoefficients(theta * theta);
    }
    return {std::sin(theta) / theta, (1 - std::cos(theta)) / (theta * theta),
            (theta - std::sin(theta)) / (theta * theta * theta)};
}

SegmentEvaluation baselineEvaluate(const SegmentCurve& curve, double u) {
    const Vec3 r = bezier(curve.rotationControlPoints, u, 0);
    const Vec3 r1 = bezier(curve.rotationControlPoints, u, 1);
    const Vec3 r2 = bezier(curve.rotationControlPoints, u, 2);
    const RotationCoefficients forR = directCoefficients(r);
    const Mat3 R = matMul(so3Exp(r, forR.A, forR.B), curve.baseRotation);
    const RotationCoefficients forJ = directCoefficients(r);
    const Mat3 J = so3Exp(r, forJ.B, forJ.C);
    const RotationCoefficients k = directCoefficients(r);
    const double x = squaredNorm(r), s = dot(r, r1);
    const double bp = (k.A - 2 * k.B) / x, gp = (k.B - 3 * k.C) / x;
    const Mat3 hr = hat(r), hr1 = hat(r1), hr2 = matMul(hr, hr);
    const Mat3 m1 = matMul(hr1, hr), m2 = matMul(hr, hr1);
    Mat3 dJ;
    for (int e = 0; e < 9; ++e) {
        dJ[e] = s * bp * hr[e] + k.B * hr1[e] + s * gp * hr2[e] + k.C * (m1[e] + m2[e]);
    }
    const Vec3 omega = matVec(J, r1), Jdr = matVec(dJ, r1), Jr2 = matVec(J, r2);
    const Vec3 p = bezier(curve.positionControlPoints, u, 0);
    const Vec3 v = negate(matVec(R, bezier(curve.positionControlPoints, u, 1)));
    const Vec3 Rp2 = matVec(R, bezier(curve.positionControlPoints, u, 2));
    const Vec3 wv = cross(omega, v);
    SegmentEvaluation out;
    out.rotation = R;
    out.translation = negate(matVec(R, p));
    for (int i = 0; i < 3; ++i) {
        out.velocity[i] = v[i], out.velocity[3 + i] = omega[i];
        out.acceleration[i] = wv[i] - Rp2[i], out.acceleration[3 + i] = Jdr[i] + Jr2[i];
    }
    return out;
}

// ---- inputs --------------------------------------------------------------------------------

SegmentCurve randomCurve(std::mt19937& engine) {
    std::uniform_real_distribution<double> position(-5, 5), rotation(-1, 1);
    SegmentCurve curve;
    for (int k = 0; k < 18; ++k) {
        curve.positionControlPoints[k] = position(engine);
        curve.rotationControlPoints[k] = rotation(engine);
    }
    const RotationCoefficients c = rotationCoefficients(0.09);
    curve.baseRotation = so3Exp({0.3, 0.0, 0.0}, c.A, c.B);
    return curve;
}

// 1000 segments of 30 s and one interval over all of them: 10^6 samples (fewer when smoke).
struct Workload {
    SplineTrajectory spline;
    std::size_t samples = 0;
};

const Workload& workload() {
    static const Workload w = [] {
        Workload out;
        const int segments = 1000;
        const double duration = kSampleStep * double(OrvaneBench::benchSize(1000000)) / segments;
        std::mt19937 engine(42);
        std::vector<SplineSegment> candidates(segments);
        for (int i = 0; i < segments; ++i) {
            candidates[i].t0 = i * duration;
            candidates[i].t1 = (i + 1) * duration;
            candidates[i].curve = randomCurve(engine);
        }
        setSegments(out.spline, candidates.data(), segments);
        out.spline.intervals = {{0.0, segments * duration - 0.5 * kSampleStep}};
        out.samples = sampleTrajectory(out.spline).states.size();
        return out;
    }();
    return w;
}

// The (segment, u) pairs the sampler visits, in its order.
const std::vector<std::pair<const SegmentCurve*, double>>& visits() {
    static const auto pairs = [] {
        std::vector<std::pair<const SegmentCurve*, double>> out;
        const SplineTrajectory& spline = workload().spline;
        const ValidInterval interval = spline.intervals[0];
        for (double t = interval.begin; interval.end >= t; t += kSampleStep) {
            std::uint32_t i = std::min<std::uint32_t>(spline.segmentCount - 1,
                                                      std::uint32_t(t / (spline.segments[0].t1)));
            while (i + 1 < spline.segmentCount && t >= spline.segments[i + 1].t0)
                ++i;
            while (i > 0 && t < spline.segments[i].t0)
                --i;
            const SplineSegment& segment = spline.segments[i];
            out.push_back({&segment.curve, (t - segment.t0) * segment.inverseDuration});
        }
        return out;
    }();
    return pairs;
}

template <SegmentEvaluation (*Evaluate)(const SegmentCurve&, double)>
void evaluateAll(benchmark::State& state) {
    const auto& pairs = visits();
    for (auto _ : state) {
        for (const auto& [curve, u] : pairs) {
            SegmentEvaluation e = Evaluate(*curve, u);
            benchmark::DoNotOptimize(e);
        }
    }
    state.SetItemsProcessed(state.iterations() * int64_t(pairs.size()));
}

void evaluateSegmentBaseline(benchmark::State& state) {
    evaluateAll<baselineEvaluate>(state);
}
void evaluateSegmentShared(benchmark::State& state) {
    evaluateAll<evaluateSegment>(state);
}

// ---- the straightforward sampler -----------------------------------------------------------

Trajectory baselineSample(const SplineTrajectory& spline) {
    Trajectory out;
    const SplineSegment* begin = spline.segments.get();
    const SplineSegment* end = begin + spline.segmentCount;
    for (const ValidInterval& interval : spline.intervals) {
        for (double t = interval.begin; interval.end >= t; t += kSampleStep) {
            const SplineSegment* found = std::upper_bound(
                begin, end, t, [](double v, const SplineSegment& s) { return v < s.t0; });
            const SplineSegment& segment = found == begin ? *begin : *(found - 1);
            const double s = segment.inverseDuration;
            SegmentEvaluation e = baselineEvaluate(segment.curve, (t - segment.t0) * s);
            TrajectoryState state;
            state.time = t;
            state.rotation = e.rotation;
            state.translation = e.translation;
            for (int k = 0; k < 6; ++k) {
                state.velocity[k] = e.velocity[k] * s;
                state.acceleration[k] = e.acceleration[k] * s * s;
            }
            state.hasVelocity = state.hasAcceleration = true;
            out.states.push_back(state);
            out.poses.push_back({negate(matTVec(e.rotation, e.translation)), e.rotation});
        }
    }
    return out;
}

// The library's sampler with its default sample budget.
Trajectory librarySample(const SplineTrajectory& spline) {
    return sampleTrajectory(spline);
}

template <Trajectory (*Sample)(const SplineTrajectory&)>
void sampleAll(benchmark::State& state) {
    const Workload& w = workload();
    for (auto _ : state) {
        Trajectory trajectory = Sample(w.spline);
        benchmark::DoNotOptimize(trajectory.states.data());
        state.PauseTiming();
        trajectory = Trajectory();  // releasing 300 MB is not part of sampling
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * int64_t(w.samples));
}

void sampleTrajectoryBaseline(benchmark::State& state) {
    sampleAll<baselineSample>(state);
}
void sampleTrajectoryLibrary(benchmark::State& state) {
    sampleAll<librarySample>(state);
}

// The same with memory that the heap keeps between runs (no mmap, no trimming), which takes
// the operating system's cost of handing out fresh pages out of the figure.
template <Trajectory (*Sample)(const SplineTrajectory&)>
void sampleWarm(benchmark::State& state) {
    mallopt(M_MMAP_MAX, 0);
    mallopt(M_TRIM_THRESHOLD, -1);
    Sample(workload().spline);  // fault the heap in once
    sampleAll<Sample>(state);
    mallopt(M_MMAP_MAX, 65536);
    mallopt(M_TRIM_THRESHOLD, 128 * 1024);
}
void sampleTrajectoryBaselineWarm(benchmark::State& state) {
    sampleWarm<baselineSample>(state);
}
void sampleTrajectoryLibraryWarm(benchmark::State& state) {
    sampleWarm<librarySample>(state);
}

}  // namespace

BENCHMARK(evaluateSegmentBaseline)->Name("evaluateSegment/baseline");
BENCHMARK(evaluateSegmentShared)->Name("evaluateSegment/shared");
BENCHMARK(sampleTrajectoryBaseline)
    ->Name("sampleTrajectory/baseline")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(sampleTrajectoryLibrary)->Name("sampleTrajectory/library")->Unit(benchmark::kMillisecond);
BENCHMARK(sampleTrajectoryBaselineWarm)
    ->Name("sampleTrajectoryWarm/baseline")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(sampleTrajectoryLibraryWarm)
    ->Name("sampleTrajectoryWarm/library")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(evaluateSegmentShared)
    ->Name("sampleTrajectoryWarm/evaluationOnly")
    ->Unit(benchmark::kMillisecond);
