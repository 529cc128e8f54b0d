// The viewer in a real window on a private X server with Mesa: what the camera math predicts
// is what appears on the screen, and the mouse driven through XTest changes it as predicted.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <future>

#include "analysis/Matrix3.h"
#include "tests/support/Process.h"
#include "tests/support/TempDir.h"
#include "tests/support/Xvfb.h"
#include "tests/support/XvfbSuite.h"
#include "view/TrajectoryScene.h"

namespace {

using namespace Kor;
using OrvaneTest::RGB;
using OrvaneTest::WindowImage;
using namespace std::chrono_literals;

constexpr RGB kBlack{0, 0, 0};

// Pixel of a world point: camera point c = R x + (pan, d), seen through a frustum whose
// half-width at distance 1 is 1, so x grows right and y down by W/2 pixels per unit of c/c.z.
std::array<double, 2> pixelOf(const Viewer3D& viewer, const Vec3& world) {
    const Vec3 c = matVec(viewer.mRotation, world);
    const double cx = c[0] + viewer.mPan[0], cy = c[1] + viewer.mPan[1],
                 cz = c[2] + viewer.mDistance;
    const double w = viewer.mGLWindow.mWidth, h = viewer.mGLWindow.mHeight;
    return {w / 2 + w / 2 * cx / cz, h / 2 + w / 2 * cy / cz};
}

class ViewerWindowTest : public OrvaneTest::XvfbSuite {
protected:
    std::vector<std::vector<PoseSample>> poseLists;
    std::vector<TrajectoryColour> colours;

    void addTrajectory(std::vector<Vec3> positions, TrajectoryColour colour) {
        std::vector<PoseSample> poses;
        for (const Vec3& p : positions) {
            poses.push_back(PoseSample{p, kIdentity3});
        }
        poseLists.push_back(std::move(poses));
        colours.push_back(colour);
    }

    // Draws frames until the window shows the prediction (or the time is up) and returns
    // the last picture.
    WindowImage frameUntil(Viewer3D& viewer, TrajectoryScene& scene, OrvaneTest::XSession& x,
                           unsigned long window,
                           const std::function<bool(const WindowImage&)>& shows) {
        WindowImage image;
        OrvaneTest::waitFor([&] {
            drawFrame(viewer, scene);
            image = x.capture(window);
            return image.width > 0 && shows(image);
        });
        return image;
    }
};

const std::vector<Vec3> kRedPath{{0, 0, 0}, {0.4, 0, 0}, {0.4, 0.3, 0.2}};
const std::vector<Vec3> kGreenPath{{-0.5, -0.2, 0.1}, {-0.3, 0.25, -0.1}};

bool showsPath(const Viewer3D& viewer, const WindowImage& image, const std::vector<Vec3>& path,
               RGB colour) {
    for (size_t i = 0; i < path.size(); ++i) {
        const auto p = pixelOf(viewer, path[i]);
        if (image.countNear(static_cast<int>(p[0]), static_cast<int>(p[1]), 2, colour) == 0) {
            return false;
        }
        if (i + 1 < path.size()) {  // the strip passes through the image of the midpoint
            const Vec3 mid{(path[i][0] + path[i + 1][0]) / 2, (path[i][1] + path[i + 1][1]) / 2,
                           (path[i][2] + path[i + 1][2]) / 2};
            const auto m = pixelOf(viewer, mid);
            if (image.countNear(static_cast<int>(m[0]), static_cast<int>(m[1]), 2, colour) == 0) {
                return false;
            }
        }
    }
    return true;
}

TEST_F(ViewerWindowTest, TrajectoriesAppearWhereTheCameraPutsThemAndFollowTheMouse) {
    addTrajectory(kRedPath, {255, 0, 0});
    addTrajectory({}, {0, 0, 255});  // an empty trajectory draws nothing
    addTrajectory(kGreenPath, {0, 255, 0});
    Viewer3D viewer;
    ASSERT_TRUE(viewer.mGLWindow.mIsOpen);
    TrajectoryScene scene(viewer.mGLWindow, poseLists, colours);
    OrvaneTest::XSession x(server->display());
    ASSERT_TRUE(x.connected());
    const unsigned long window = x.waitForWindow("Orvane");
    ASSERT_NE(window, 0u);

    auto both = [&](const WindowImage& image) {
        return showsPath(viewer, image, kRedPath, {255, 0, 0}) &&
               showsPath(viewer, image, kGreenPath, {0, 255, 0});
    };
    WindowImage image = frameUntil(viewer, scene, x, window, both);
    ASSERT_TRUE(both(image));
    EXPECT_EQ(image.count({0, 0, 255}), 0);
    // Nothing but the two paths on a black background.
    EXPECT_GT(image.count(kBlack), image.width * image.height * 95 / 100);
    const auto origin = pixelOf(viewer, {0, 0, 0});
    EXPECT_NEAR(origin[0], 320.0, 1e-9);

    // Left drag by 60 pixels: the world turns by -0.48 rad about the camera's y axis.
    const Mat3 before = viewer.mRotation;
    x.movePointer(window, 200, 200);
    x.button(1, true);
    x.movePointer(window, 260, 200);
    x.button(1, false);
    OrvaneTest::waitFor([&] {
        drawFrame(viewer, scene);
        return viewer.mRotation != before;
    });
    const Mat3 expected = matMul(
        Mat3{std::cos(-0.48), 0, std::sin(-0.48), 0, 1, 0, -std::sin(-0.48), 0, std::cos(-0.48)},
        before);
    for (int i = 0; i < 9; ++i) {
        EXPECT_NEAR(viewer.mRotation[i], expected[i], 1e-12);
    }
    image = frameUntil(viewer, scene, x, window, both);
    EXPECT_TRUE(both(image));

    // Right drag by 40 pixels sideways at distance 2 in a 640-pixel viewport: 0.1875 units.
    x.movePointer(window, 300, 300);
    x.button(3, true);
    x.movePointer(window, 340, 300);
    x.button(3, false);
    OrvaneTest::waitFor([&] {
        drawFrame(viewer, scene);
        return viewer.mPan[0] != 0.0;
    });
    EXPECT_DOUBLE_EQ(viewer.mPan[0], 40 * 2.0 * 1.5 / 640);
    image = frameUntil(viewer, scene, x, window, both);
    EXPECT_TRUE(both(image));

    // One wheel notch away from the user: the scene comes closer.
    x.button(4, true);
    x.button(4, false);
    OrvaneTest::waitFor([&] {
        drawFrame(viewer, scene);
        return viewer.mDistance != 2.0;
    });
    EXPECT_DOUBLE_EQ(viewer.mDistance, 2.0 * 0.9);
    image = frameUntil(viewer, scene, x, window, both);
    EXPECT_TRUE(both(image));

    // Closed as a window manager closes it: the frame loop ends.
    x.sendDeleteWindow(window);
    EXPECT_TRUE(OrvaneTest::waitFor([&] {
        drawFrame(viewer, scene);
        return !viewer.mGLWindow.mIsOpen;
    }));
    EXPECT_TRUE(OrvaneTest::waitFor([&] { return !x.windowExists("Orvane"); }));
}

TEST_F(ViewerWindowTest, AResizedWindowKeepsTheHorizontalScaleOfTheScene) {
    addTrajectory({{-0.5, 0, 0}, {0.5, 0, 0}, {0, 0.9, 0}}, {255, 255, 0});
    Viewer3D viewer;
    viewer.mRotation = kIdentity3;
    TrajectoryScene scene(viewer.mGLWindow, poseLists, colours);
    OrvaneTest::XSession x(server->display());
    const unsigned long window = x.waitForWindow("Orvane");
    ASSERT_NE(window, 0u);
    x.resize(window, 200, 400);
    OrvaneTest::waitFor([&] {
        drawFrame(viewer, scene);
        return viewer.mGLWindow.mWidth == 200 && viewer.mGLWindow.mHeight == 400;
    });
    ASSERT_EQ(viewer.mGLWindow.mWidth, 200);
    ASSERT_EQ(viewer.mGLWindow.mHeight, 400);
    // Twice as tall as wide: the frustum's vertical half-extent at the near plane is 0.002, so
    // a unit at distance 1 is still half the width, 100 pixels, both across and down.
    auto shows = [&](const WindowImage& image) {
        return image.width == 200 && image.countNear(75, 200, 1, {255, 255, 0}) > 0 &&
               image.countNear(125, 200, 1, {255, 255, 0}) > 0 &&
               image.countNear(100, 245, 1, {255, 255, 0}) > 0 &&
               image.countNear(100, 260, 3, {255, 255, 0}) == 0;
    };
    EXPECT_TRUE(shows(frameUntil(viewer, scene, x, window, shows)));
}

TEST(ViewerRunTest, ClosingTheWindowEndsTheProgramWithStatus0) {
    OrvaneTest::XvfbServer server;
    ASSERT_FALSE(server.display().empty());
    OrvaneTest::ProcessOptions options;
    options.setEnv = {{"DISPLAY", server.display()}};
    options.timeout = 120s;
    auto run = std::async(std::launch::async, [&] {
        return OrvaneTest::runOrvane({ORVANE_SOURCE_DIR "/README.md"}, options);
    });
    OrvaneTest::XSession x(server.display());
    const unsigned long window = x.waitForWindow("Orvane", 60s);
    ASSERT_NE(window, 0u);
    // A black scene with nothing in it.
    EXPECT_TRUE(OrvaneTest::waitFor([&] {
        const WindowImage image = x.capture(window);
        return image.width == 640 && image.height == 480 && image.count(kBlack) == 640 * 480;
    }));
    x.sendDeleteWindow(window);
    const OrvaneTest::ProcessResult result = run.get();
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "1 trajectories provided\n\n");
}

// The real program on a pose file: its samples appear where the initial camera puts them, and
// a left drag and a wheel notch move them where the camera math says. Pixels are predicted
// here from the closed-form rotations, not from the viewer's own matrices.
TEST(ViewerRunTest, TheProgramDrawsItsFileWhereTheCameraPutsItAndFollowsTheMouse) {
    // Text pose records with R = I and t = -p, so the drawn positions are p.
    const std::vector<Vec3> points{{0, 0, 0}, {0.5, 0, 0}, {0, 0.5, 0}};
    OrvaneTest::TempDir dir;
    std::string records;
    for (size_t i = 0; i < points.size(); ++i) {
        const Vec3& p = points[i];
        records += std::to_string(i) + " 1 0 0 " + std::to_string(-p[0]) + " 0 1 0 " +
                   std::to_string(-p[1]) + " 0 0 1 " + std::to_string(-p[2]) + "\n";
    }
    const std::string file = dir.write("points.txt", records);

    // Camera rotation Ry(yaw) * Rx(0.35), distance d, no pan; 640 x 480 window.
    auto pixel = [](const Vec3& p, double yaw, double d) {
        const double c = std::cos(0.35), s = std::sin(0.35);
        const Vec3 x{p[0], c * p[1] - s * p[2], s * p[1] + c * p[2]};
        const Vec3 y{std::cos(yaw) * x[0] + std::sin(yaw) * x[2], x[1],
                     -std::sin(yaw) * x[0] + std::cos(yaw) * x[2]};
        return std::array<int, 2>{static_cast<int>(std::lround(320 + 320 * y[0] / (y[2] + d))),
                                  static_cast<int>(std::lround(240 + 320 * y[1] / (y[2] + d)))};
    };
    constexpr RGB kRed{255, 0, 0};
    auto showsAll = [&](const WindowImage& image, double yaw, double d) {
        for (const Vec3& p : points) {
            const auto at = pixel(p, yaw, d);
            if (image.countNear(at[0], at[1], 2, kRed) == 0) {
                return false;
            }
        }
        return true;
    };

    OrvaneTest::XvfbServer server;
    ASSERT_FALSE(server.display().empty());
    OrvaneTest::ProcessOptions options;
    options.setEnv = {{"DISPLAY", server.display()}};
    options.timeout = 120s;
    auto run =
        std::async(std::launch::async, [&] { return OrvaneTest::runOrvane({file}, options); });
    OrvaneTest::XSession x(server.display());
    const unsigned long window = x.waitForWindow("Orvane", 60s);
    ASSERT_NE(window, 0u);

    WindowImage image;
    EXPECT_TRUE(OrvaneTest::waitFor([&] {
        image = x.capture(window);
        return showsAll(image, 0.0, 2.0);
    }));
    EXPECT_GT(image.count(kBlack), 640 * 480 * 95 / 100);

    // Left drag by 100 pixels to the right: the world turns by -0.8 rad about the camera's y
    // axis. The pointer is placed first so that the drag starts from it.
    x.movePointer(window, 100, 100);
    x.button(1, true);
    for (int step = 1; step <= 4; ++step) {
        x.movePointer(window, 100 + 25 * step, 100);
    }
    x.button(1, false);
    const auto oldFar = pixel(points[1], 0.0, 2.0);
    EXPECT_TRUE(OrvaneTest::waitFor([&] {
        image = x.capture(window);
        return showsAll(image, -0.8, 2.0) && image.countNear(oldFar[0], oldFar[1], 2, kRed) == 0;
    }));

    // Two notches towards the user: the distance grows to 2 / 0.81.
    for (int notch = 0; notch < 2; ++notch) {
        x.button(5, true);
        x.button(5, false);
    }
    EXPECT_TRUE(OrvaneTest::waitFor([&] {
        image = x.capture(window);
        return showsAll(image, -0.8, 2.0 / 0.81);
    }));

    x.sendDeleteWindow(window);
    const OrvaneTest::ProcessResult result = run.get();
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "1 trajectories provided\n\n");
    EXPECT_EQ(result.err, "");
}

TEST(ViewerRunTest, WithoutADisplayTheProgramReportsTheFailureAndExits) {
    OrvaneTest::ProcessOptions options;
    options.unsetEnv = {"DISPLAY"};
    const OrvaneTest::ProcessResult result =
        OrvaneTest::runOrvane({ORVANE_SOURCE_DIR "/README.md"}, options);
    EXPECT_NE(result.status, 0);
    EXPECT_LT(result.status, 128);  // an orderly exit, not a crash
    EXPECT_EQ(result.err, "wibble failed with error 6: No such device or address\n");

    options.unsetEnv.clear();
    options.setEnv = {{"DISPLAY", ":7913"}};  // no server there
    const OrvaneTest::ProcessResult refused =
        OrvaneTest::runOrvane({ORVANE_SOURCE_DIR "/README.md"}, options);
    EXPECT_NE(refused.status, 0);
    EXPECT_LT(refused.status, 128);
    EXPECT_EQ(refused.err.rfind("wibble failed with error ", 0), 0u) << refused.err;
}

}  // namespace
