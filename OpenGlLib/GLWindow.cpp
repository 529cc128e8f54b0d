#include "OpenGlLib/GLWindow.h"

#include "OpenGlLib/GLHeaders.h"

#include <cmath>
#include <fstream>

#include "OpenGlLib/FontAtlas.h"
#include "OpenGlLib/GLConsole.h"
#include "OpenGlLib/GLMenu.h"
#include "OpenGlLib/GLText.h"
#include "OpenGlLib/GLWindowInternals.h"
#include "OpenGlLib/PipeOutput.h"
#include "OpenGlLib/WindowSystem.h"
#include "PlatformLib/RegularFile.h"
#include "PlatformLib/Utf8Path.h"
#include "PlatformLib/VarText.h"
#include "PlatformLib/Vars.h"
#include "RuntimeLib/Logging.h"
#include "RuntimeLib/Parser.h"
#include "RuntimeLib/ResourceFile.h"

namespace Kor {

GLWindow::GLWindow(std::string name, WindowSize initialSize) : mName(std::move(name)) {
    // Bound once per process, under the first window's name: every later window reads the
    // same four variables.
    static VarBinding<int> initSizeX(mName + ".initSizeX", initialSize.width);
    static VarBinding<int> initSizeY(mName + ".initSizeY", initialSize.height);
    static VarBinding<int> initPosX(mName + ".initPosX", -1);
    static VarBinding<int> initPosY(mName + ".initPosY", -1);
    mWidth = initSizeX.Value();
    mHeight = initSizeY.Value();
    mInitPosX = initPosX.Value();
    mInitPosY = initPosY.Value();

    mInternals = std::make_unique<GLWindowInternals>(this);
    // The menu appends itself, before the console: it is the first handler of a window.
    mMenu = std::make_unique<GLMenu>(mName + "Menu", this);
    mConsole = std::make_unique<GLConsole>(this);
    AddEventHandler(mConsole.get());

    if (mInternals->Init()) {
        mIsOpen = true;
        ApplySwapIntervalRule();
        CreateFontTexture();
    } else {
        QEL_LOG_VERBOSE("[Default] ! Cannot init window internals for %s", mName.c_str());
    }
}

GLWindow::~GLWindow() {
    // The font texture needs no deletion of its own: it goes with the window's GL context.
    mFontTexture = 0;
    mConsole.reset();
    mMenu.reset();
    if (mInternals) {
        mInternals->Release();
        mInternals.reset();
    }
}

void GLWindow::ApplySwapIntervalRule() {
    static VarBinding<int> vsync("glwindow_vsync", 0);
    if (vsync.Value() != 0) {
        return;  // the driver's setting stays
    }
    if (!GetWindowSystem().SetSwapInterval(mInternals->mhdc, 0)) {
        QEL_LOG_VERBOSE("[Default] No wglSwapInterval function. ");
    }
}

void GLWindow::CreateFontTexture() {
    GLuint texture = 0;
    glGenTextures(1, &texture);
    mFontTexture = texture;
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    const RgbaImage& atlas = EnsureFontAtlas().imShaded;
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, static_cast<GLsizei>(atlas.width),
                 static_cast<GLsizei>(atlas.height), 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 atlas.pixels.data());
    glBindTexture(GL_TEXTURE_2D, 0);
}

void GLWindow::AddEventHandler(GLWindowEventHandler* handler) {
    mHandlers.push_back(handler);
}

void GLWindow::BeginFrame() {
    mInternals->PushCurrentContext();
}

void GLWindow::EndFrame() {
    DrawOverlay();
    Present();
    mCaption.str(std::string());
    mInternals->PopCurrentContext();
    mInternals->PumpMessages();
}

void GLWindow::ApplyViewport() {
    mViewportWidth = mWidth;
    mViewportHeight = mHeight;
    glViewport(0, 0, mWidth, mHeight);
}

void GLWindow::SetOverlayProjection(float scale) {
    ApplyViewport();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, TruncateToInt(mWidth / scale), TruncateToInt(mHeight / scale), 0, -1, 1);
}

void GLWindow::DrawText(std::string text, WindowPoint position) {
    DrawString(mFontTexture, text, position);
}

void GLWindow::DrawOverlay() {
    static VarBinding<float> captionScale("captionScale", 1.0f);
    // The overlay leaves the application's matrix mode as it found it.
    GLint matrixMode = GL_MODELVIEW;
    glGetIntegerv(GL_MATRIX_MODE, &matrixMode);
    SetOverlayProjection(captionScale.Value());
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    DrawText(mCaption.str(), WindowPoint{0, 0});
    SetOverlayProjection(1.0f);
    mMenu->Draw();
    // The console covers the lower half: GL puts the viewport's origin at the lower left.
    const WindowSize half{mWidth, mHeight / 2};
    mConsole->Draw(half, WindowPoint{0, 0}, half);
    glMatrixMode(static_cast<GLenum>(matrixMode));
}

void GLWindow::Present() {
    RecordFrame(*mInternals);
    mInternals->SwapBuffers();
}

GLWindowWithMenu::GLWindowWithMenu(std::string name, WindowSize initialSize)
    : GLWindow(std::move(name), initialSize) {
    const std::string script = ResolveResourceFile(mName + "Menu.cfg");
    // Only a regular file is read: a FIFO would hold start-up, a directory read as nothing.
    // Anything else is reported as a script that cannot be opened.
    std::ifstream stream;
    if (!openRegularFile(stream, PathFromUtf8(script), std::ios::in)) {
        stream.setstate(std::ios::failbit);
    }
    ParseScript(stream, script);
}

}  // namespace Kor
