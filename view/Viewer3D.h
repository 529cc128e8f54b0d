#pragma once
// The 3-D view of the trajectories: a window, an orbiting camera driven by the mouse, and the
// frame loop that draws every trajectory as points joined by a line strip in its colour
// (TrajectoryScene).

#include <array>
#include <cstdint>
#include <vector>

#include "OpenGlLib/GLWindow.h"
#include "OpenGlLib/GLWindowEvents.h"
#include "analysis/Trajectory.h"
#include "analysis/Types.h"

namespace Kor {

using TrajectoryColour = std::array<uint8_t, 3>;  // R, G, B

class Viewer3D : private GLWindowEventHandler {
public:
    Viewer3D();
    ~Viewer3D() override;
    Viewer3D(const Viewer3D&) = delete;
    Viewer3D& operator=(const Viewer3D&) = delete;

    // Multiplies the camera onto the current GL matrix: a world point x is seen at
    // mRotation * x + (mPan.x, mPan.y, mDistance).
    void applyCamera() const;

    GLWindowWithMenu mGLWindow;
    Mat3 mRotation;
    double mDistance = 2.0;
    std::array<double, 2> mPan{0.0, 0.0};

private:
    bool OnMouseMove(GLWindow& window, const WindowPoint& position, const WindowPoint& previous,
                     bool control, bool left, bool middle, bool right, bool shift) override;
    bool OnMouseWheel(GLWindow& window, const WindowPoint& position, float notches) override;
};

// The frustum's near and far planes, in front of the camera.
inline constexpr double kNearPlane = 0.001;
inline constexpr double kFarPlane = 1000.0;

// The start of a frame's scene: clear, viewport, the perspective camera, the depth test.
void beginScene(Viewer3D& viewer);

// Draws frames of the trajectories until the window is closed (none when it never opened).
void runFrameLoop(Viewer3D& viewer, const std::vector<std::vector<PoseSample>>& poseLists,
                  const std::vector<TrajectoryColour>& colours);

}  // namespace Kor
