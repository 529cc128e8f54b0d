#include "view/Viewer3D.h"

#include "OpenGlLib/GLHeaders.h"

#include <algorithm>
#include <cmath>

#include "analysis/Matrix3.h"
#include "analysis/Orthonormal.h"
#include "analysis/Rotation.h"
#include "view/TrajectoryScene.h"

namespace Kor {

namespace {

constexpr double kRadiansPerPixel = 0.008;

// Rotation by phi about one camera axis (0 = x, 1 = y, 2 = z).
Mat3 axisRotation(int axis, double phi) {
    Vec3 w{0.0, 0.0, 0.0};
    w[axis] = phi;
    const RotationCoefficients k = rotationCoefficients(phi * phi);
    return so3Exp(w, k.A, k.B);
}

// The new rotation acts on the camera side and is re-orthonormalised so that rounding does
// not accumulate over a long drag.
void rotateOnCameraSide(Mat3& rotation, int axis, double phi) {
    rotation = matMul(axisRotation(axis, phi), rotation);
    orthonormalise(rotation);
}

}  // namespace

Viewer3D::Viewer3D() : mGLWindow("Orvane", WindowSize{640, 480}) {
    const double angle = 0.35;
    const RotationCoefficients k = rotationCoefficients(angle * angle);
    mRotation = matMul(so3Exp(Vec3{angle, 0.0, 0.0}, k.A, k.B), kIdentity3);
    orthonormalise(mRotation);
    mGLWindow.AddEventHandler(this);
}

Viewer3D::~Viewer3D() = default;

void Viewer3D::applyCamera() const {
    glTranslatef(0.0f, 0.0f, static_cast<float>(mDistance));
    glTranslatef(static_cast<float>(mPan[0]), static_cast<float>(mPan[1]), 0.0f);
    GLfloat m[16] = {};
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            m[4 * column + row] = static_cast<float>(mRotation[3 * row + column]);  // column-major
        }
    }
    m[15] = 1.0f;
    glMultMatrixf(m);
}

bool Viewer3D::OnMouseMove(GLWindow& window, const WindowPoint& position,
                           const WindowPoint& previous, bool /*control*/, bool left,
                           bool /*middle*/, bool right, bool /*shift*/) {
    const auto dx = static_cast<double>(position.x - previous.x);
    const auto dy = static_cast<double>(position.y - previous.y);
    if (left && right) {
        rotateOnCameraSide(mRotation, 2, kRadiansPerPixel * dx);  // roll
        return true;
    }
    if (left) {
        rotateOnCameraSide(mRotation, 1, -kRadiansPerPixel * dx);  // orbit
        rotateOnCameraSide(mRotation, 0, kRadiansPerPixel * dy);
        return true;
    }
    if (right) {
        // The scene follows the pointer. A viewport without width (none applied yet) has no
        // scale, and dividing by it would lose the scene for good.
        const auto width = static_cast<double>(window.mViewportWidth);
        if (width > 0.0) {
            const double f = mDistance * 1.5 / width;
            mPan[0] += dx * f;
            mPan[1] += dy * f;
        }
        return true;
    }
    return false;
}

bool Viewer3D::OnMouseWheel(GLWindow& /*window*/, const WindowPoint& /*position*/, float notches) {
    mDistance *= std::pow(0.9, static_cast<double>(notches));
    return true;
}

void beginScene(Viewer3D& viewer) {
    const GLWindow& window = viewer.mGLWindow;
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glViewport(0, 0, window.mWidth, window.mHeight);
    const double a = static_cast<double>(window.mHeight) / static_cast<double>(window.mWidth);

    // Bottom and top exchanged so that y grows downward; the z flip puts positive z in front.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(-kNearPlane, kNearPlane, kNearPlane * a, -kNearPlane * a, kNearPlane, kFarPlane);
    glScaled(1.0, 1.0, -1.0);
    viewer.applyCamera();

    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
}

void runFrameLoop(Viewer3D& viewer, const std::vector<std::vector<PoseSample>>& poseLists,
                  const std::vector<TrajectoryColour>& colours) {
    TrajectoryScene scene(viewer.mGLWindow, poseLists, colours);
    while (viewer.mGLWindow.mIsOpen) {
        drawFrame(viewer, scene);
    }
}

}  // namespace Kor
