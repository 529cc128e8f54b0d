// The level of detail draws the picture of the full draw: frames drawn from the samples the
// camera needs, against frames of every sample from the same camera, on a private X server
// with Mesa.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <random>
#include <string>

#include "OpenGlLib/GLHeaders.h"
#include "analysis/Matrix3.h"
#include "tests/support/Xvfb.h"
#include "tests/support/XvfbSuite.h"
#include "view/TrajectoryScene.h"

namespace {

using namespace Kor;
using OrvaneTest::RGB;
using OrvaneTest::WindowImage;

constexpr RGB kBlack{0, 0, 0};

struct Frame {
    WindowImage image;
    std::size_t vertices = 0;
};

// The scene of one frame as drawn, read back before the overlay and the presentation.
Frame render(Viewer3D& viewer, TrajectoryScene& scene, DrawDetail detail) {
    GLWindow& window = viewer.mGLWindow;
    window.BeginFrame();
    beginScene(viewer);
    scene.draw(viewer, detail);
    Frame frame;
    frame.vertices = scene.drawnVertices();
    WindowImage& image = frame.image;
    image.width = window.mWidth;
    image.height = window.mHeight;
    std::vector<uint8_t> rgb(static_cast<size_t>(image.width) * image.height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, image.width, image.height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    image.pixels.resize(static_cast<size_t>(image.width) * image.height);
    for (int y = 0; y < image.height; ++y) {  // GL's rows run bottom to top
        const uint8_t* row = &rgb[static_cast<size_t>(image.height - 1 - y) * image.width * 3];
        for (int x = 0; x < image.width; ++x) {
            image.pixels[static_cast<size_t>(y) * image.width + x] = {row[3 * x], row[3 * x + 1],
                                                                      row[3 * x + 2]};
        }
    }
    window.EndFrame();
    return frame;
}

std::vector<PoseSample> samplesOf(std::size_t n, const std::function<Vec3(std::size_t)>& at) {
    std::vector<PoseSample> poses(n);
    for (std::size_t i = 0; i < n; ++i) {
        poses[i].position = at(i);
    }
    return poses;
}

// 16 turns of radius 0.5 rising by 1, through the initial view.
std::vector<PoseSample> denseHelix(std::size_t n) {
    return samplesOf(n, [n](std::size_t i) {
        const double t = 100.0 * static_cast<double>(i) / static_cast<double>(n);
        return Vec3{0.5 * std::cos(t), 0.5 * std::sin(t), 0.01 * t - 0.5};
    });
}

std::vector<PoseSample> randomWalk(std::size_t n) {
    std::mt19937_64 random(11);
    std::normal_distribution<double> normal;
    const double step = 1.2 / std::sqrt(static_cast<double>(n));
    Vec3 p{0, 0, 0};
    return samplesOf(n, [&](std::size_t) {
        const Vec3 here = p;
        for (double& c : p) {
            c += step * normal(random);
        }
        return here;
    });
}

// A spiral in the plane y = 0 (the camera's own horizontal plane when it is not turned).
std::vector<PoseSample> flatSpiral(std::size_t n) {
    return samplesOf(n, [n](std::size_t i) {
        const double t = 300.0 * static_cast<double>(i) / static_cast<double>(n);
        const double r = 0.8 * static_cast<double>(i) / static_cast<double>(n);
        return Vec3{r * std::cos(t), 0.0, r * std::sin(t)};
    });
}

struct Camera {
    std::string name;
    std::function<void(Viewer3D&)> place;
};

const Camera kInitial{"initial", [](Viewer3D&) {}};
const Camera kTurned{"turned", [](Viewer3D& v) {
                         const Mat3 yaw{std::cos(0.7),  0, std::sin(0.7), 0, 1, 0,
                                        -std::sin(0.7), 0, std::cos(0.7)};
                         v.mRotation = matMul(yaw, v.mRotation);
                     }};
const Camera kEdgeOn{"edge-on", [](Viewer3D& v) { v.mRotation = kIdentity3; }};
// Much of the trajectory beyond the window's edges.
const Camera kCloseAndAside{"close and aside", [](Viewer3D& v) {
                                v.mDistance = 0.6;
                                v.mPan = {0.3, -0.2};
                            }};
// The camera inside the trajectory: parts of it behind the near plane.
const Camera kInside{"inside", [](Viewer3D& v) { v.mDistance = 0.1; }};

class DetailPictureTest : public OrvaneTest::XvfbSuite {
protected:
    // Draws the trajectories both ways from every camera: the pictures may differ in a few
    // pixels along the strip, and the level of detail must draw far fewer vertices.
    void expectSamePicture(const std::vector<std::vector<PoseSample>>& poseLists,
                           const std::vector<Camera>& cameras) {
        const std::vector<TrajectoryColour> colours{{255, 0, 0}, {0, 255, 0}};
        Viewer3D viewer;
        ASSERT_TRUE(viewer.mGLWindow.mIsOpen);
        TrajectoryScene scene(viewer.mGLWindow, poseLists,
                              {colours.begin(), colours.begin() + poseLists.size()});
        std::size_t samples = 0;
        for (const auto& poses : poseLists) {
            samples += poses.size();
        }
        const Mat3 rotation = viewer.mRotation;
        const double distance = viewer.mDistance;
        for (const Camera& camera : cameras) {
            viewer.mRotation = rotation;
            viewer.mDistance = distance;
            viewer.mPan = {0.0, 0.0};
            camera.place(viewer);
            const Frame full = render(viewer, scene, DrawDetail::Full);
            const Frame detail = render(viewer, scene, DrawDetail::Adaptive);
            ASSERT_EQ(full.image.pixels.size(), detail.image.pixels.size());
            int drawn = 0, differing = 0;
            for (size_t i = 0; i < full.image.pixels.size(); ++i) {
                drawn += full.image.pixels[i] != kBlack;
                differing += full.image.pixels[i] != detail.image.pixels[i];
            }
            EXPECT_GT(drawn, 100) << camera.name;
            EXPECT_LT(differing * 200, drawn)
                << camera.name << ": " << differing << " of " << drawn << " drawn pixels differ";
            EXPECT_EQ(full.vertices, samples);
            EXPECT_LT(detail.vertices * 4, samples) << camera.name;
        }
    }
};

// More samples than fit one piece, so that the strips of two pieces join.
TEST_F(DetailPictureTest, DenseHelix) {
    expectSamePicture({denseHelix(kPieceSamples + 100000)},
                      {kInitial, kTurned, kCloseAndAside, kInside});
}

TEST_F(DetailPictureTest, RandomWalk) {
    expectSamePicture({randomWalk(600000)}, {kInitial, kTurned, kCloseAndAside});
}

TEST_F(DetailPictureTest, SpiralSeenEdgeOn) {
    expectSamePicture({flatSpiral(600000)}, {kEdgeOn});
}

// Where two trajectories cross, the nearer one's colour shows, as in the full draw.
TEST_F(DetailPictureTest, TwoTrajectoriesAcrossEachOther) {
    expectSamePicture({denseHelix(500000), randomWalk(500000)}, {kInitial, kTurned});
}

TEST_F(DetailPictureTest, FewerSamplesThanPixelsDrawEverySampleAndTheSamePicture) {
    const std::vector<std::vector<PoseSample>> poseLists{denseHelix(640 * 480 - 1)};
    Viewer3D viewer;
    TrajectoryScene scene(viewer.mGLWindow, poseLists, {{255, 255, 0}});
    const Frame full = render(viewer, scene, DrawDetail::Full);
    const Frame detail = render(viewer, scene, DrawDetail::Adaptive);
    EXPECT_EQ(detail.vertices, poseLists[0].size());
    EXPECT_TRUE(full.image.pixels == detail.image.pixels);
}

}  // namespace
