// The camera and its mouse control, driven through the window procedure without a display.
#include <gtest/gtest.h>

#include <cmath>

#include "OpenGlLib/GLWindowInternals.h"
#include "analysis/Matrix3.h"
#include "tests/support/FakeWindowSystem.h"
#include "view/Viewer3D.h"

namespace {

using namespace Kor;

Mat3 rotX(double p) {
    return {1, 0, 0, 0, std::cos(p), -std::sin(p), 0, std::sin(p), std::cos(p)};
}
Mat3 rotY(double p) {
    return {std::cos(p), 0, std::sin(p), 0, 1, 0, -std::sin(p), 0, std::cos(p)};
}
Mat3 rotZ(double p) {
    return {std::cos(p), -std::sin(p), 0, std::sin(p), std::cos(p), 0, 0, 0, 1};
}

void expectNear(const Mat3& actual, const Mat3& expected) {
    for (int i = 0; i < 9; ++i) {
        EXPECT_NEAR(actual[i], expected[i], 1e-12) << "entry " << i;
    }
}

// Sees what the viewer lets through.
struct After : GLWindowEventHandler {
    int moves = 0;
    bool OnMouseMove(GLWindow&, const WindowPoint&, const WindowPoint&, bool, bool, bool, bool,
                     bool) override {
        ++moves;
        return false;
    }
};

class Viewer3DTest : public ::testing::Test {
protected:
    OrvaneTest::ScopedFakeWindowSystem system;
    Viewer3D viewer;
    After after;
    const Mat3 initial = rotX(0.35);

    void SetUp() override { viewer.mGLWindow.AddEventHandler(&after); }
    void move(int x, int y, WParam keys) {
        GLWindowInternals::WindowProc(viewer.mGLWindow.mInternals->mhwnd, Msg::MouseMove, keys,
                                      PointParam(x, y));
    }
    void wheel(int units) {
        GLWindowInternals::WindowProc(viewer.mGLWindow.mInternals->mhwnd, Msg::MouseWheel,
                                      WheelParam(units), PointParam(0, 0));
    }
};

TEST_F(Viewer3DTest, StartsTiltedBy035AboutXAtDistance2) {
    expectNear(viewer.mRotation, initial);
    EXPECT_NEAR(viewer.mRotation[5], -0.34289780745545134, 1e-15);
    EXPECT_EQ(viewer.mDistance, 2.0);
    EXPECT_EQ(viewer.mPan, (std::array<double, 2>{0.0, 0.0}));
    EXPECT_EQ(viewer.mGLWindow.mName, "Orvane");
    EXPECT_EQ(viewer.mGLWindow.mWidth, 640);
    EXPECT_EQ(viewer.mGLWindow.mHeight, 480);
}

TEST_F(Viewer3DTest, LeftDragOrbitsAboutTheCameraAxes) {
    move(100, 0, MouseKeys::Left);  // the first move starts from (0, 0)
    expectNear(viewer.mRotation, matMul(rotY(-0.8), initial));
    move(100, 50, MouseKeys::Left | MouseKeys::Shift | MouseKeys::Middle);
    expectNear(viewer.mRotation, matMul(rotX(0.4), matMul(rotY(-0.8), initial)));
    EXPECT_EQ(after.moves, 0);
}

TEST_F(Viewer3DTest, BothButtonsRollOnlyWithHorizontalMovement) {
    move(0, 80, MouseKeys::Left | MouseKeys::Right);
    expectNear(viewer.mRotation, initial);
    move(-25, 80, MouseKeys::Left | MouseKeys::Right);
    expectNear(viewer.mRotation, matMul(rotZ(-0.2), initial));
}

TEST_F(Viewer3DTest, RightDragPansWithThePointerScaledByViewportAndDistance) {
    viewer.mGLWindow.mViewportWidth = 640;
    move(640, 0, MouseKeys::Right);
    EXPECT_DOUBLE_EQ(viewer.mPan[0], 3.0);  // the full width at distance 2
    move(640, -64, MouseKeys::Right | MouseKeys::Control);
    EXPECT_DOUBLE_EQ(viewer.mPan[1], -0.3);
    expectNear(viewer.mRotation, initial);
}

TEST_F(Viewer3DTest, PanningBeforeAnyViewportLosesNothing) {
    viewer.mGLWindow.mViewportWidth = 0;
    move(50, 50, MouseKeys::Right);
    EXPECT_EQ(viewer.mPan, (std::array<double, 2>{0.0, 0.0}));
    EXPECT_EQ(after.moves, 0);  // still the viewer's event
}

TEST_F(Viewer3DTest, MovesWithoutLeftOrRightButtonPassThrough) {
    move(30, 30, 0);
    move(60, 10, MouseKeys::Middle | MouseKeys::Shift);
    EXPECT_EQ(after.moves, 2);
    expectNear(viewer.mRotation, initial);
}

TEST_F(Viewer3DTest, WheelScalesTheDistanceByPowersOfPointNine) {
    wheel(-240);
    EXPECT_NEAR(viewer.mDistance, 2.0 / 0.81, 1e-12);
    wheel(240);
    EXPECT_NEAR(viewer.mDistance, 2.0, 1e-12);
    wheel(12);  // a tenth of a notch from a fine wheel
    EXPECT_NEAR(viewer.mDistance, 2.0 * std::pow(0.9, 0.1), 1e-7);
}

}  // namespace
