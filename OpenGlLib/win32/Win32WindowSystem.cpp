// The Win32 + WGL window system: the window class's procedure hands every message, posted or
// sent, to the portable window procedure; pixel formats and contexts are WGL's.
//
// Sections: errors; window class and windows; messages and keys; GL contexts; system.

#include <windows.h>

// winuser.h names these after its ANSI/wide variants; the seam's methods keep their names.
#undef RegisterClass

#include <cstdio>
#include <string>

#include "OpenGlLib/GLHeaders.h"
#include "OpenGlLib/GLWindowInternals.h"
#include "OpenGlLib/WindowSystem.h"
#include "PlatformLib/WideText.h"

namespace Kor {

namespace {

constexpr UINT kScanCodeLeftOfOne = 0x29;

SystemError systemError(DWORD code) {
    wchar_t* text = nullptr;
    const DWORD units = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string utf8 = units != 0 ? WideToUtf8(std::wstring_view(text, units)) : std::string();
    if (text != nullptr) {
        ::LocalFree(text);
    }
    // The system's texts end with a line break.
    while (!utf8.empty() && (utf8.back() == '\n' || utf8.back() == '\r' || utf8.back() == ' ')) {
        utf8.pop_back();
    }
    return {static_cast<uint32_t>(code), utf8};
}

HWND hwndOf(NativeWindow window) {
    return reinterpret_cast<HWND>(window);
}
HDC hdcOf(DrawSurface surface) {
    return reinterpret_cast<HDC>(surface);
}

LRESULT CALLBACK forwardToWindowProc(HWND hwnd, UINT message, WPARAM w, LPARAM l) {
    return GLWindowInternals::WindowProc(reinterpret_cast<NativeWindow>(hwnd), message, w, l);
}

class Win32WindowSystem final : public WindowSystem {
    SystemError mLastError;
    HMODULE mOpenGl = nullptr;
    // The key-down being handled: its own virtual key, before the key left of 1 became the
    // grave key.
    WParam mReportedKey = 0;
    WParam mPressedKey = 0;

    void RecordLastError() { mLastError = systemError(::GetLastError()); }

public:
    // Window class and windows.

    bool IsClassRegistered(std::string_view name) override {
        WNDCLASSEXW existing{};
        existing.cbSize = sizeof existing;
        return ::GetClassInfoExW(::GetModuleHandleW(nullptr), Utf8ToWide(name).c_str(),
                                 &existing) != 0;
    }

    bool RegisterClass(std::string_view name) override {
        // The atom keeps its own copy of the name.
        const std::wstring className = Utf8ToWide(name);
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.style = CS_OWNDC;  // each window keeps its device context, as WGL wants
        windowClass.lpfnWndProc = forwardToWindowProc;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.hCursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
        windowClass.hbrBackground = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
        windowClass.lpszClassName = className.c_str();
        if (::RegisterClassExW(&windowClass) == 0) {
            RecordLastError();
            return false;
        }
        return true;
    }

    NativeWindow CreateNativeWindow(const WindowCreateInfo& info) override {
        const HWND hwnd = ::CreateWindowExW(
            WS_EX_APPWINDOW, Utf8ToWide(info.className).c_str(), Utf8ToWide(info.title).c_str(),
            WS_OVERLAPPEDWINDOW, info.defaultX ? CW_USEDEFAULT : info.x,
            info.defaultY ? CW_USEDEFAULT : info.y, info.width, info.height, nullptr, nullptr,
            ::GetModuleHandleW(nullptr), nullptr);
        if (hwnd == nullptr) {
            RecordLastError();
            return 0;
        }
        return reinterpret_cast<NativeWindow>(hwnd);
    }

    void SetUserData(NativeWindow window, GLWindowInternals* internals) override {
        ::SetWindowLongPtrW(hwndOf(window), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(internals));
    }
    GLWindowInternals* UserData(NativeWindow window) override {
        return reinterpret_cast<GLWindowInternals*>(
            ::GetWindowLongPtrW(hwndOf(window), GWLP_USERDATA));
    }

    void ShowWindow(NativeWindow window) override {
        ::ShowWindow(hwndOf(window), SW_SHOWNORMAL);
        ::UpdateWindow(hwndOf(window));
    }

    void DestroyNativeWindow(NativeWindow window) override {
        if (::IsWindow(hwndOf(window))) {
            ::DestroyWindow(hwndOf(window));
        }
    }

    ScreenRect WindowRect(NativeWindow window) override {
        RECT rect{};
        ::GetWindowRect(hwndOf(window), &rect);
        return {rect.left, rect.top, rect.right, rect.bottom};
    }
    ScreenRect ClientRect(NativeWindow window) override {
        RECT rect{};
        ::GetClientRect(hwndOf(window), &rect);
        return {rect.left, rect.top, rect.right, rect.bottom};
    }
    WindowPoint ScreenToClient(NativeWindow window, WindowPoint screen) override {
        POINT point{screen.x, screen.y};
        ::ScreenToClient(hwndOf(window), &point);
        return {point.x, point.y};
    }
    WindowPoint CursorPosition() override {
        POINT point{};
        ::GetCursorPos(&point);
        return {point.x, point.y};
    }
    void MoveWindow(NativeWindow window, int32_t left, int32_t top) override {
        ::SetWindowPos(hwndOf(window), nullptr, left, top, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    void RaiseWindow(NativeWindow window) override {
        ::SetWindowPos(hwndOf(window), HWND_TOP, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    void CapturePointer(NativeWindow window) override { ::SetCapture(hwndOf(window)); }
    void ReleasePointer() override { ::ReleaseCapture(); }

    // Messages and keys. Sent messages reach the portable procedure through the class's
    // procedure while PeekMessageW runs; posted ones are handed back here. No TranslateMessage:
    // a key's character comes from its key-down, so it reaches the handlers once.

    bool TakeMessage(NativeWindow window, WindowMessage& message) override {
        MSG msg{};
        if (!::PeekMessageW(&msg, hwndOf(window), 0, 0, PM_REMOVE)) {
            return false;
        }
        message = {reinterpret_cast<NativeWindow>(msg.hwnd), msg.message, msg.wParam, msg.lParam};
        if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) {
            mPressedKey = msg.wParam;
            // The key left of 1 opens the console whatever the layout puts on it.
            const UINT scanCode = (static_cast<UINT>(msg.lParam) >> 16) & 0x1FF;
            if (scanCode == kScanCodeLeftOfOne) {
                message.w = VirtualKey::Grave;
            }
            mReportedKey = message.w;
        }
        return true;
    }

    bool ReplyToSentMessage(LResult result) override {
        return ::InSendMessage() && ::ReplyMessage(result);
    }

    LResult DefaultWindowProc(NativeWindow window, uint32_t message, WParam w, LParam l) override {
        return ::DefWindowProcW(hwndOf(window), message, w, l);
    }

    KeyText TranslateKey(NativeWindow, uint32_t virtualKey) override {
        const UINT key = virtualKey == mReportedKey ? static_cast<UINT>(mPressedKey) : virtualKey;
        BYTE state[256] = {};
        ::GetKeyboardState(state);
        KeyText text;
        text.shift = (state[VK_SHIFT] & 0x80) != 0;
        text.control = (state[VK_CONTROL] & 0x80) != 0;
        text.alt = (state[VK_MENU] & 0x80) != 0;
        wchar_t characters[4] = {};
        const int count =
            ::ToUnicode(key, ::MapVirtualKeyW(key, MAPVK_VK_TO_VSC), state, characters, 4, 0);
        if (count == 1 && characters[0] < 0x80) {
            text.count = 1;
            text.character = static_cast<char>(characters[0]);
        }
        return text;
    }

    // GL contexts.

    DrawSurface GetDrawSurface(NativeWindow window) override {
        // The class's own device context: the same for every call, never released.
        const HDC hdc = ::GetDC(hwndOf(window));
        if (hdc == nullptr) {
            RecordLastError();
        }
        return reinterpret_cast<DrawSurface>(hdc);
    }

    static PIXELFORMATDESCRIPTOR Descriptor(const PixelFormatRequest& request) {
        PIXELFORMATDESCRIPTOR pfd{};
        pfd.nSize = sizeof pfd;
        pfd.nVersion = 1;
        pfd.dwFlags =
            PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | (request.doubleBuffer ? PFD_DOUBLEBUFFER : 0);
        pfd.iPixelType = PFD_TYPE_RGBA;
        pfd.cColorBits = request.colorBits;
        pfd.cAlphaBits = request.alphaBits;
        pfd.cAccumBits = request.accumBits;
        pfd.cDepthBits = request.depthBits;
        pfd.cStencilBits = request.stencilBits;
        pfd.iLayerType = PFD_MAIN_PLANE;
        return pfd;
    }

    int32_t ChoosePixelFormat(DrawSurface surface, const PixelFormatRequest& request) override {
        const PIXELFORMATDESCRIPTOR pfd = Descriptor(request);
        const int format = ::ChoosePixelFormat(hdcOf(surface), &pfd);
        if (format == 0) {
            RecordLastError();
        }
        return format;
    }

    bool SetPixelFormat(DrawSurface surface, int32_t format,
                        const PixelFormatRequest& request) override {
        const PIXELFORMATDESCRIPTOR pfd = Descriptor(request);
        if (!::SetPixelFormat(hdcOf(surface), format, &pfd)) {
            RecordLastError();
            return false;
        }
        return true;
    }

    GLContextHandle CreateContext(DrawSurface surface) override {
        const HGLRC context = ::wglCreateContext(hdcOf(surface));
        if (context == nullptr) {
            RecordLastError();
        }
        return context;
    }

    bool MakeCurrent(DrawSurface surface, GLContextHandle context) override {
        return ::wglMakeCurrent(hdcOf(surface), static_cast<HGLRC>(context)) != FALSE;
    }
    DrawSurface CurrentSurface() override {
        return reinterpret_cast<DrawSurface>(::wglGetCurrentDC());
    }
    GLContextHandle CurrentContext() override { return ::wglGetCurrentContext(); }
    void DeleteContext(GLContextHandle context) override {
        if (context != nullptr) {
            ::wglDeleteContext(static_cast<HGLRC>(context));
        }
    }
    void SwapBuffers(DrawSurface surface) override { ::SwapBuffers(hdcOf(surface)); }

    // wglGetProcAddress knows only what lies beyond OpenGL 1.1, and some drivers answer a
    // small number instead of null for a name they lack; opengl32.dll exports the rest.
    void* GetProcAddress(const char* name) override {
        const PROC proc = ::wglGetProcAddress(name);
        const auto address = reinterpret_cast<intptr_t>(proc);
        if (address != 0 && address != 1 && address != 2 && address != 3 && address != -1) {
            return reinterpret_cast<void*>(proc);
        }
        if (mOpenGl == nullptr) {
            mOpenGl = ::GetModuleHandleW(L"opengl32.dll");
        }
        return mOpenGl != nullptr ? reinterpret_cast<void*>(::GetProcAddress(mOpenGl, name))
                                  : nullptr;
    }

    bool SetSwapInterval(DrawSurface, int interval) override {
        using SwapInterval = BOOL(WINAPI*)(int);
        const auto set = reinterpret_cast<SwapInterval>(
            reinterpret_cast<void*>(::wglGetProcAddress("wglSwapIntervalEXT")));
        return set != nullptr && set(interval) != FALSE;
    }

    static std::string GLString(GLenum name) {
        const GLubyte* text = ::glGetString(name);
        return text != nullptr ? reinterpret_cast<const char*>(text) : "";
    }
    std::string ContextVersion() override { return GLString(GL_VERSION); }
    std::string ContextExtensions() override { return GLString(GL_EXTENSIONS); }

    // System.

    bool IsRemoteSession() override { return ::GetSystemMetrics(SM_REMOTESESSION) != 0; }

    SystemError LastError() override { return mLastError; }

    void ShowErrorMessage(std::string_view caption, std::string_view text) override {
        // Standard error too: a console user or a log sees what the box says.
        std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data());
        std::fflush(stderr);
        ::MessageBoxW(nullptr, Utf8ToWide(text).c_str(), Utf8ToWide(caption).c_str(),
                      MB_OK | MB_ICONERROR);
    }

    [[noreturn]] void ExitProcess(uint32_t code) override {
        std::fflush(nullptr);
        ::ExitProcess(code);
    }
};

}  // namespace

WindowSystem& NativeWindowSystem() {
    static Win32WindowSystem system;
    return system;
}

}  // namespace Kor
