#include "OpenGlLib/GLWindowInternals.h"

#include <cstdlib>
#include <string>

#include "OpenGlLib/GLExtensions.h"
#include "OpenGlLib/GLWindow.h"
#include "OpenGlLib/PipeOutput.h"
#include "PlatformLib/LogOutput.h"
#include "PlatformLib/Vars.h"
#include "RuntimeLib/Logging.h"

namespace Kor {

WindowProcedure GLWindowInternals::DefaultProc;
std::map<GLContextHandle, GLWindowInternals*> GLWindowInternals::mContextMap;
std::recursive_mutex GLWindowInternals::mContextMapMutex;
std::recursive_mutex GLWindowInternals::mCreationMutex;
bool GLWindowInternals::mEntryPointsLoaded = false;

namespace {

constexpr const char* kClassName = "GLWClass";

LResult systemDefaultProc(NativeWindow hwnd, uint32_t message, WParam w, LParam l) {
    return GetWindowSystem().DefaultWindowProc(hwnd, message, w, l);
}

}  // namespace

GLWindowInternals::GLWindowInternals(GLWindow* window) : mWindow(window) {
    mRecordToPipe = BindVariable(window->mName + ".RecordToPipe", &mRecordToPipeDefault);
}

GLWindowInternals::~GLWindowInternals() {
    // A window that goes while it streams ends its stream, so that the reader sees the end.
    if (mStreaming) {
        ClosePipe();
    }
}

bool GLWindowInternals::RegisterQelClass(WindowProcedure defaultProc) {
    WindowSystem& system = GetWindowSystem();
    if (!system.IsClassRegistered(kClassName) && !system.RegisterClass(kClassName)) {
        QEL_LOG_VERBOSE("[Default] ! Cannot register window class.");
        return false;
    }
    if (!DefaultProc) {
        DefaultProc = std::move(defaultProc);
    }
    return true;
}

bool GLWindowInternals::SetPixelFormat(DrawSurface hdc, int32_t iPixelFormat,
                                       const PixelFormatRequest* pfd) {
    return GetWindowSystem().SetPixelFormat(hdc, iPixelFormat, *pfd);
}

bool GLWindowInternals::Init() {
    std::lock_guard<std::recursive_mutex> creation(mCreationMutex);
    WindowSystem& system = GetWindowSystem();

    if (!RegisterQelClass(systemDefaultProc)) {
        // The report names the check as the framework has always written it.
        ReportFailure(
            __FILE__, __LINE__,
            "QelResult ERROR - CFF(GLWindowInternals::RegisterQelClass(::DefWindowProcW))");
        FailFast();
    }

    WindowCreateInfo info;
    info.className = kClassName;
    info.title = mWindow->mName;
    info.x = mWindow->mInitPosX;
    info.y = mWindow->mInitPosY;
    info.defaultX = mWindow->mInitPosX == -1;  // only -1: other negative values are used
    info.defaultY = mWindow->mInitPosY == -1;
    info.width = mWindow->mWidth;
    info.height = mWindow->mHeight;
    mhwnd = system.CreateNativeWindow(info);
    if (mhwnd == 0) {
        QEL_LOG_ERROR("[Default] ! Call to CreateWindowEx failed for %s", mWindow->mName.c_str());
        ShowFatalSystemError();
    }

    system.SetUserData(mhwnd, this);
    system.ShowWindow(mhwnd);
    PumpMessages();

    const PixelFormatRequest pfd;  // RGBA 24 bits, no alpha, depth 32, double-buffered
    mhdc = system.GetDrawSurface(mhwnd);
    QEL_CFF(mhdc != 0);
    const int32_t iPixelFormat = system.ChoosePixelFormat(mhdc, pfd);
    QEL_CFF(iPixelFormat != 0);
    QEL_CFF(SetPixelFormat(mhdc, iPixelFormat, &pfd));

    mhglrc = system.CreateContext(mhdc);
    if (mhglrc == nullptr) {
        QEL_CFF(SetPixelFormat(mhdc, iPixelFormat, &pfd));
        mhglrc = system.CreateContext(mhdc);
        if (mhglrc == nullptr) {
            QEL_LOG_ERROR(
                "[Default] Error creating GL context - Cannot continue with Windows turned on.");
            QEL_FAILFAST();
        }
    }

    {
        std::lock_guard<std::recursive_mutex> map(mContextMapMutex);
        mContextMap[mhglrc] = this;
    }

    PushCurrentContext();

    if (!mEntryPointsLoaded) {
        const bool opengl_extension_init_ok = LoadGLEntryPoints(system);
        if (!opengl_extension_init_ok && system.IsRemoteSession()) {
            QEL_LOG_VERBOSE(
                "[Default] GLWindowInternals::Init: Connected via Terminal Services, which lacks "
                "framebuffer and renderbuffer extensions.  Using do-nothing versions as a "
                "fallback.");
            InstallDoNothingFramebufferEntryPoints();
        } else {
            QEL_CFF(opengl_extension_init_ok);
        }
        mEntryPointsLoaded = true;
    }
    return true;
}

void GLWindowInternals::PushCurrentContext() {
    WindowSystem& system = GetWindowSystem();
    mDCStack.push_back(system.CurrentSurface());
    mContextStack.push_back(system.CurrentContext());
    system.MakeCurrent(mhdc, mhglrc);
}

void GLWindowInternals::PopCurrentContext() {
    WindowSystem& system = GetWindowSystem();
    if (!mDCStack.empty() && !mContextStack.empty()) {
        system.MakeCurrent(mDCStack.back(), mContextStack.back());
        mDCStack.pop_back();
        mContextStack.pop_back();
    } else {
        system.MakeCurrent(0, nullptr);
    }
}

void GLWindowInternals::SwapBuffers() {
    GetWindowSystem().SwapBuffers(mhdc);
}

void GLWindowInternals::PumpMessages() {
    WindowSystem& system = GetWindowSystem();
    WindowMessage message;
    while (system.TakeMessage(mhwnd, message)) {
        WindowProc(message.window, message.message, message.w, message.l);
    }
}

void GLWindowInternals::Release() {
    WindowSystem& system = GetWindowSystem();
    {
        std::lock_guard<std::recursive_mutex> map(mContextMapMutex);
        auto it = mContextMap.find(mhglrc);
        QEL_CFF(it != mContextMap.end());
        mContextMap.erase(it);
    }
    // A context still current would outlive its deletion.
    if (system.CurrentContext() == mhglrc) {
        system.MakeCurrent(0, nullptr);
    }
    system.DeleteContext(mhglrc);
    mhglrc = nullptr;
    system.DestroyNativeWindow(mhwnd);
}

void GLWindowInternals::ShowFatalSystemError() {
    WindowSystem& system = GetWindowSystem();
    const SystemError error = system.LastError();
    system.ShowErrorMessage(
        "Error", "wibble failed with error " + std::to_string(error.code) + ": " + error.text);
    // An exit status of 0 (or a multiple of 256) would read as success.
    system.ExitProcess((error.code & 0xFFu) != 0 ? error.code : 1u);
    std::abort();  // not reached: ExitProcess does not return
}

}  // namespace Kor
