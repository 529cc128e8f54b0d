#pragma once
// The platform seam of the window framework: what the portable window, context and message
// code needs of the operating system, named after what it does. One implementation per
// system (x11/ for X11 with GLX); tests install a fake one.

#include <cstdint>
#include <string>
#include <string_view>

#include "OpenGlLib/GLWindowEvents.h"
#include "OpenGlLib/WindowMessages.h"

namespace Kor {

class GLWindowInternals;

using DrawSurface = uintptr_t;  // what a GL context draws to; 0 = none
using GLContextHandle = void*;  // null = none

struct ScreenRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

// What the window asks of its pixel format; the backend picks the closest one it has.
struct PixelFormatRequest {
    uint8_t colorBits = 24;
    uint8_t alphaBits = 0;
    uint8_t accumBits = 0;
    uint8_t depthBits = 32;
    uint8_t stencilBits = 0;
    bool doubleBuffer = true;
};

struct WindowCreateInfo {
    std::string className;
    std::string title;  // UTF-8
    int32_t x = 0, y = 0;
    // -1 in a coordinate lets the system (the window manager) choose it.
    bool defaultX = false;
    bool defaultY = false;
    int32_t width = 0, height = 0;
};

// One printable character (count 1) or none, and the modifier keys held, for a key down.
struct KeyText {
    int count = 0;
    char character = 0;
    bool shift = false;
    bool control = false;
    bool alt = false;
};

struct SystemError {
    uint32_t code = 0;
    std::string text;
};

class WindowSystem {
public:
    virtual ~WindowSystem() = default;

    // Window class.
    virtual bool IsClassRegistered(std::string_view name) = 0;
    virtual bool RegisterClass(std::string_view name) = 0;

    // Windows. CreateNativeWindow returns 0 on failure (LastError says why).
    virtual NativeWindow CreateNativeWindow(const WindowCreateInfo& info) = 0;
    virtual void SetUserData(NativeWindow window, GLWindowInternals* internals) = 0;
    virtual GLWindowInternals* UserData(NativeWindow window) = 0;
    virtual void ShowWindow(NativeWindow window) = 0;
    // Destroying a window that is already gone does nothing.
    virtual void DestroyNativeWindow(NativeWindow window) = 0;
    virtual ScreenRect WindowRect(NativeWindow window) = 0;
    virtual ScreenRect ClientRect(NativeWindow window) = 0;
    virtual WindowPoint ScreenToClient(NativeWindow window, WindowPoint screen) = 0;
    virtual WindowPoint CursorPosition() = 0;
    virtual void MoveWindow(NativeWindow window, int32_t left, int32_t top) = 0;
    virtual void RaiseWindow(NativeWindow window) = 0;
    virtual void CapturePointer(NativeWindow window) = 0;
    virtual void ReleasePointer() = 0;

    // Messages: removes one pending message of the window without blocking.
    virtual bool TakeMessage(NativeWindow window, WindowMessage& message) = 0;
    // Answers a message sent from another thread at once; false when it was not one.
    virtual bool ReplyToSentMessage(LResult result) = 0;
    virtual LResult DefaultWindowProc(NativeWindow window, uint32_t message, WParam w,
                                      LParam l) = 0;

    // Keyboard: the character and modifiers of the key-down message being handled.
    virtual KeyText TranslateKey(NativeWindow window, uint32_t virtualKey) = 0;

    // GL contexts.
    virtual DrawSurface GetDrawSurface(NativeWindow window) = 0;
    virtual int32_t ChoosePixelFormat(DrawSurface surface, const PixelFormatRequest& request) = 0;
    virtual bool SetPixelFormat(DrawSurface surface, int32_t format,
                                const PixelFormatRequest& request) = 0;
    virtual GLContextHandle CreateContext(DrawSurface surface) = 0;
    virtual bool MakeCurrent(DrawSurface surface, GLContextHandle context) = 0;
    virtual DrawSurface CurrentSurface() = 0;
    virtual GLContextHandle CurrentContext() = 0;
    virtual void DeleteContext(GLContextHandle context) = 0;
    virtual void SwapBuffers(DrawSurface surface) = 0;
    virtual void* GetProcAddress(const char* name) = 0;
    // Sets the swap interval of the current context; false when the system has no way to.
    virtual bool SetSwapInterval(DrawSurface surface, int interval) = 0;
    // Version and extension list that the current context reports (empty without one).
    virtual std::string ContextVersion() = 0;
    virtual std::string ContextExtensions() = 0;

    // System.
    virtual bool IsRemoteSession() = 0;  // rendering goes through a remote connection
    virtual SystemError LastError() = 0;
    virtual void ShowErrorMessage(std::string_view caption, std::string_view text) = 0;
    [[noreturn]] virtual void ExitProcess(uint32_t code) = 0;
};

// The process's window system: the one installed, else the native one, made on first use.
WindowSystem& GetWindowSystem();
// Installs a window system (not owned) for the rest of the process; null restores the native.
void SetWindowSystem(WindowSystem* system);
// The native window system of this platform (defined by the backend).
WindowSystem& NativeWindowSystem();

}  // namespace Kor
