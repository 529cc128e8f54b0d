// Frame time of the trajectory view on a private X server with Mesa, for one helix of 10^6 and
// one of 10^7 samples (the same curve, ten times denser):
//   frame1M, frame10M  every sample from double vertex arrays, as the view drew before
//                      (baseline), against every sample from the float buffers, the level of
//                      detail with the camera turning by a pixel's drag every frame (the
//                      samples are chosen anew each frame, as while orbiting) and with a still
//                      camera (the choice is kept);
//   lodScale           the orbiting level-of-detail frame of 10^6 samples (baseline) against
//                      that of 10^7: how the frame grows with the length of the recording.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <map>
#include <memory>

#include "OpenGlLib/GLHeaders.h"
#include "analysis/Matrix3.h"
#include "bench/support/RatioMain.h"
#include "tests/support/Xvfb.h"
#include "view/TrajectoryScene.h"

namespace {

using namespace Kor;

const std::vector<TrajectoryColour> kColours{{255, 0, 0}};

// A helix through the view, 16 turns whatever the number of samples.
std::vector<std::vector<PoseSample>> helix(std::int64_t n) {
    std::vector<PoseSample> poses(static_cast<size_t>(n));
    for (std::int64_t i = 0; i < n; ++i) {
        const double t = 100.0 * static_cast<double>(i) / static_cast<double>(n);
        poses[static_cast<size_t>(i)].position = {0.5 * std::cos(t), 0.5 * std::sin(t),
                                                  0.01 * t - 0.5};
    }
    return {std::move(poses)};
}

struct Drawn {
    std::vector<std::vector<PoseSample>> poseLists;
    std::unique_ptr<TrajectoryScene> scene;
};

struct Setup {
    std::unique_ptr<OrvaneTest::XvfbServer> server;
    std::unique_ptr<Viewer3D> viewer;
    std::map<std::int64_t, Drawn> drawn;

    Setup() {
        if (std::getenv("DISPLAY") == nullptr) {
            server = std::make_unique<OrvaneTest::XvfbServer>();
            ::setenv("DISPLAY", server->display().c_str(), 1);
        }
        viewer = std::make_unique<Viewer3D>();
    }
    ~Setup() {
        drawn.clear();  // the scenes go before their window
    }

    Drawn& of(std::int64_t samples) {
        const std::int64_t n = OrvaneBench::benchSize(samples);
        auto it = drawn.find(n);
        if (it == drawn.end()) {
            Drawn& d = drawn[n];
            d.poseLists = helix(n);
            d.scene = std::make_unique<TrajectoryScene>(viewer->mGLWindow, d.poseLists, kColours);
            return d;
        }
        return it->second;
    }
};

Setup& setup() {
    static Setup s;
    return s;
}

// Every sample as the view drew them before: double positions handed over as strided client
// arrays every frame.
void drawFrameFromDoubles(Viewer3D& viewer, const std::vector<std::vector<PoseSample>>& lists) {
    viewer.mGLWindow.BeginFrame();
    beginScene(viewer);
    glEnableClientState(GL_VERTEX_ARRAY);
    for (size_t k = 0; k < lists.size(); ++k) {
        glColor3ub(kColours[k][0], kColours[k][1], kColours[k][2]);
        glVertexPointer(3, GL_DOUBLE, sizeof(PoseSample), lists[k][0].position.data());
        glPointSize(2.5f);
        glDrawArrays(GL_POINTS, 0, static_cast<GLsizei>(lists[k].size()));
        glLineWidth(1.0f);
        glDrawArrays(GL_LINE_STRIP, 0, static_cast<GLsizei>(lists[k].size()));
    }
    glDisableClientState(GL_VERTEX_ARRAY);
    viewer.mGLWindow.EndFrame();
}

// A left drag of one pixel sideways.
void turn(Viewer3D& viewer) {
    const double phi = -0.008;
    const Mat3 yaw{std::cos(phi), 0, std::sin(phi), 0, 1, 0, -std::sin(phi), 0, std::cos(phi)};
    viewer.mRotation = matMul(yaw, viewer.mRotation);
}

template <typename Frame>
void runFrames(benchmark::State& state, Frame frame) {
    Viewer3D& viewer = *setup().viewer;
    const Mat3 start = viewer.mRotation;
    for (auto _ : state) {
        frame(viewer);
        glFinish();  // the window's context stays current; its whole frame is counted
    }
    viewer.mRotation = start;
    state.SetItemsProcessed(state.iterations());
}

void fromDoubles(benchmark::State& state, std::int64_t samples) {
    const Drawn& d = setup().of(samples);
    runFrames(state, [&](Viewer3D& viewer) { drawFrameFromDoubles(viewer, d.poseLists); });
}

void everySample(benchmark::State& state, std::int64_t samples) {
    Drawn& d = setup().of(samples);
    runFrames(state, [&](Viewer3D& viewer) { drawFrame(viewer, *d.scene, DrawDetail::Full); });
    state.counters["vertices"] = static_cast<double>(d.scene->drawnVertices());
}

void orbiting(benchmark::State& state, std::int64_t samples) {
    Drawn& d = setup().of(samples);
    runFrames(state, [&](Viewer3D& viewer) {
        turn(viewer);
        drawFrame(viewer, *d.scene);
    });
    state.counters["vertices"] = static_cast<double>(d.scene->drawnVertices());
}

void still(benchmark::State& state, std::int64_t samples) {
    Drawn& d = setup().of(samples);
    runFrames(state, [&](Viewer3D& viewer) { drawFrame(viewer, *d.scene); });
}

constexpr std::int64_t kMillion = 1000000;

const bool kRegistered = [] {
    struct Entry {
        const char* name;
        void (*frames)(benchmark::State&, std::int64_t);
        std::int64_t samples;
        bool everySampleOf10M;  // seconds a frame: a few suffice
    };
    const Entry entries[] = {
        {"frame1M/baseline", fromDoubles, kMillion, false},
        {"frame1M/every_sample_buffers", everySample, kMillion, false},
        {"frame1M/detail_orbiting", orbiting, kMillion, false},
        {"frame1M/detail_still", still, kMillion, false},
        {"frame10M/baseline", fromDoubles, 10 * kMillion, true},
        {"frame10M/every_sample_buffers", everySample, 10 * kMillion, true},
        {"frame10M/detail_orbiting", orbiting, 10 * kMillion, false},
        {"frame10M/detail_still", still, 10 * kMillion, false},
        {"lodScale/baseline", orbiting, kMillion, false},
        {"lodScale/10M", orbiting, 10 * kMillion, false},
    };
    for (const Entry& e : entries) {
        auto* benchmark = benchmark::RegisterBenchmark(e.name, e.frames, e.samples)
                              ->Unit(benchmark::kMillisecond)
                              ->UseRealTime();
        if (e.everySampleOf10M) {
            benchmark->Iterations(3);
        }
    }
    return true;
}();

}  // namespace
