#pragma once
// One top-level window with its own GL context. The application registers handlers for its
// events and drives the frames: BeginFrame, its drawing, EndFrame, while mIsOpen is true.
// EndFrame draws the overlay, presents the frame and pumps the window's messages.

#include <cstdint>
#include <memory>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "OpenGlLib/GLWindowEvents.h"

namespace Kor {

class GLConsole;
class GLMenu;
class GLWindowInternals;

class GLWindow {
public:
    GLWindow(std::string name, WindowSize initialSize);
    virtual ~GLWindow();
    GLWindow(const GLWindow&) = delete;
    GLWindow& operator=(const GLWindow&) = delete;

    // Handlers are called in the order added and are never deleted by the window.
    void AddEventHandler(GLWindowEventHandler* handler);

    void BeginFrame();
    void EndFrame();

    // Viewport over the whole client area; remembers its size in mViewport*.
    void ApplyViewport();
    // Top-left-origin orthographic projection in pixels divided by scale.
    void SetOverlayProjection(float scale);
    void DrawText(std::string text, WindowPoint position);
    // Text written here during a frame is drawn by that frame's EndFrame, then discarded.
    std::ostream& Caption() { return mCaption; }

    void DrawOverlay();
    void Present();

    int32_t mWidth = 0;
    int32_t mHeight = 0;
    int32_t mInitPosX = -1;
    int32_t mInitPosY = -1;
    int32_t mViewportWidth = 0;
    int32_t mViewportHeight = 0;
    std::string mName;
    std::unique_ptr<GLWindowInternals> mInternals;
    uint32_t mFontTexture = 0;  // 0 until the window is open
    // Made before the console, so that it is the first handler, and deleted after it.
    std::unique_ptr<GLMenu> mMenu;
    std::unique_ptr<GLConsole> mConsole;
    bool mIsOpen = false;
    std::ostringstream mCaption;
    std::vector<GLWindowEventHandler*> mHandlers;

private:
    void ApplySwapIntervalRule();
    void CreateFontTexture();
};

// A window that runs its menu script (<name>Menu.cfg beside the executable) once built.
class GLWindowWithMenu : public GLWindow {
public:
    GLWindowWithMenu(std::string name, WindowSize initialSize);
};

}  // namespace Kor
