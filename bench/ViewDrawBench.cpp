// Frame time of the trajectory view with one trajectory of 10^6 samples, on a private X
// server with Mesa: positions handed over as one strided vertex array per draw against one
// call per vertex (the straightforward immediate mode).
#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <memory>

#include "bench/support/RatioMain.h"
#include "tests/support/Xvfb.h"
#include "view/Viewer3D.h"

namespace {

using namespace Kor;

struct Scene {
    std::unique_ptr<OrvaneTest::XvfbServer> server;
    std::unique_ptr<Viewer3D> viewer;
    std::vector<std::vector<PoseSample>> poseLists;
    std::vector<TrajectoryColour> colours{{255, 0, 0}};

    Scene() {
        if (std::getenv("DISPLAY") == nullptr) {
            server = std::make_unique<OrvaneTest::XvfbServer>();
            ::setenv("DISPLAY", server->display().c_str(), 1);
        }
        viewer = std::make_unique<Viewer3D>();
        const int64_t n = OrvaneBench::benchSize(1000000);
        std::vector<PoseSample> poses(static_cast<size_t>(n));
        for (int64_t i = 0; i < n; ++i) {  // a helix through the view
            const double t = 0.0001 * static_cast<double>(i);
            poses[static_cast<size_t>(i)].position = {0.5 * std::cos(t), 0.5 * std::sin(t),
                                                      0.01 * t - 0.5};
        }
        poseLists.push_back(std::move(poses));
    }
};

Scene& scene() {
    static Scene s;
    return s;
}

// The same frame as drawFrame, with every vertex passed by its own call.
void drawFrameVertexByVertex(Viewer3D& viewer, const std::vector<std::vector<PoseSample>>& lists,
                             const std::vector<TrajectoryColour>& colours) {
    GLWindow& window = viewer.mGLWindow;
    window.BeginFrame();
    beginScene(viewer);
    for (size_t k = 0; k < lists.size(); ++k) {
        glColor3ub(colours[k][0], colours[k][1], colours[k][2]);
        glPointSize(2.5f);
        glBegin(GL_POINTS);
        for (const PoseSample& pose : lists[k]) {
            glVertex3dv(pose.position.data());
        }
        glEnd();
        glLineWidth(1.0f);
        glBegin(GL_LINE_STRIP);
        for (const PoseSample& pose : lists[k]) {
            glVertex3dv(pose.position.data());
        }
        glEnd();
    }
    window.EndFrame();
}

template <typename Draw>
void runFrames(benchmark::State& state, Draw draw) {
    Scene& s = scene();
    for (auto _ : state) {
        draw(*s.viewer, s.poseLists, s.colours);
        glFinish();  // the window's context stays current; its whole frame is counted
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_DrawVertexByVertex(benchmark::State& state) {
    runFrames(state, drawFrameVertexByVertex);
}
void BM_DrawVertexArrays(benchmark::State& state) {
    runFrames(state, drawFrame);
}

BENCHMARK(BM_DrawVertexByVertex)
    ->Name("draw/baseline")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_DrawVertexArrays)
    ->Name("draw/vertex_arrays")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
