// The X11 + GLX window system: X11 events turned into window-procedure messages, GLX
// frame-buffer configs as pixel formats. The display connection, once opened, stays open for
// the life of the process: closing the last one unloads the GL driver, which does not free
// everything it allocated.
//
// Sections: connection and errors; windows; events to messages; GL contexts.

#include <GL/gl.h>
#include <GL/glx.h>
#include <GL/glxext.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "OpenGlLib/WindowSystem.h"
#include "OpenGlLib/x11/X11Keys.h"

namespace Kor {

namespace {

// Errors arrive asynchronously through the handler; requests that can fail are followed by
// XSync and a look at the last recorded one.
SystemError lastXError;
unsigned long xErrorCount = 0;

int recordXError(Display* display, XErrorEvent* event) {
    char text[256] = {};
    XGetErrorText(display, event->error_code, text, sizeof text);
    lastXError = {event->error_code, text};
    ++xErrorCount;
    return 0;
}

SystemError errnoError(int code) {
    return {static_cast<uint32_t>(code), std::strerror(code)};
}

WParam keyStateBits(unsigned int state) {
    WParam bits = 0;
    bits |= (state & Button1Mask) ? MouseKeys::Left : 0;
    bits |= (state & Button2Mask) ? MouseKeys::Middle : 0;
    bits |= (state & Button3Mask) ? MouseKeys::Right : 0;
    bits |= (state & ShiftMask) ? MouseKeys::Shift : 0;
    bits |= (state & ControlMask) ? MouseKeys::Control : 0;
    return bits;
}

Bool isForWindow(Display*, XEvent* event, XPointer window) {
    return event->xany.window == reinterpret_cast<Window>(window) ? True : False;
}

class X11WindowSystem final : public WindowSystem {
    struct WindowRecord {
        GLWindowInternals* userData = nullptr;
        Colormap colormap = 0;
        VisualID visualId = 0;
        GLXFBConfig config = nullptr;
        int32_t width = 0;
        int32_t height = 0;
        KeyText key;  // of the last key press, read while its message is handled
        std::deque<WindowMessage> queue;
    };

    Display* mDisplay = nullptr;
    Atom mWmProtocols = 0, mWmDeleteWindow = 0, mNetWmName = 0, mUtf8String = 0;
    unsigned mBackquoteKeycode = 0;
    std::set<std::string> mClasses;
    std::map<Window, WindowRecord> mWindows;
    std::set<GLXContext> mContexts;
    std::vector<GLXFBConfig> mConfigs;
    SystemError mLastError;

public:
    ~X11WindowSystem() override = default;

    // Connection and errors.

    bool OpenDisplay() {
        if (mDisplay != nullptr) {
            return true;
        }
        errno = 0;
        mDisplay = XOpenDisplay(nullptr);
        if (mDisplay == nullptr) {
            // No DISPLAY at all leaves errno untouched; a refused connection sets it.
            mLastError = errnoError(errno != 0 ? errno : ENXIO);
            return false;
        }
        XSetErrorHandler(recordXError);
        mWmProtocols = XInternAtom(mDisplay, "WM_PROTOCOLS", False);
        mWmDeleteWindow = XInternAtom(mDisplay, "WM_DELETE_WINDOW", False);
        mNetWmName = XInternAtom(mDisplay, "_NET_WM_NAME", False);
        mUtf8String = XInternAtom(mDisplay, "UTF8_STRING", False);
        mBackquoteKeycode = X11::BackquoteKeycode(mDisplay);
        return true;
    }

    bool Failed(unsigned long errorsBefore) {
        XSync(mDisplay, False);
        if (xErrorCount != errorsBefore) {
            mLastError = lastXError;
            return true;
        }
        return false;
    }

    bool IsClassRegistered(std::string_view name) override {
        return mClasses.count(std::string(name)) != 0;
    }
    bool RegisterClass(std::string_view name) override {
        mClasses.insert(std::string(name));
        return true;
    }

    // Windows.

    NativeWindow CreateNativeWindow(const WindowCreateInfo& info) override {
        if (!OpenDisplay()) {
            return 0;
        }
        const int screen = DefaultScreen(mDisplay);
        int errorBase = 0, eventBase = 0;
        const int config = glXQueryExtension(mDisplay, &errorBase, &eventBase)
                               ? ChooseConfig(screen, PixelFormatRequest{})
                               : 0;
        XVisualInfo* visual =
            config != 0 ? glXGetVisualFromFBConfig(mDisplay, mConfigs[config - 1]) : nullptr;
        if (visual == nullptr) {
            mLastError = {BadMatch, "no GLX visual with RGB 8-8-8, double buffer and depth"};
            return 0;
        }

        const unsigned long errorsBefore = xErrorCount;
        const Window root = RootWindow(mDisplay, screen);
        XSetWindowAttributes attributes{};
        attributes.colormap = XCreateColormap(mDisplay, root, visual->visual, AllocNone);
        attributes.background_pixel = BlackPixel(mDisplay, screen);
        attributes.border_pixel = 0;
        attributes.event_mask = StructureNotifyMask | KeyPressMask | ButtonPressMask |
                                ButtonReleaseMask | PointerMotionMask | ExposureMask;
        // X11 has no empty windows; a zero size from the settings becomes one pixel.
        const auto width = static_cast<unsigned>(info.width > 0 ? info.width : 1);
        const auto height = static_cast<unsigned>(info.height > 0 ? info.height : 1);
        const bool placed = !(info.defaultX && info.defaultY);
        const int x = info.defaultX ? 0 : info.x;
        const int y = info.defaultY ? 0 : info.y;
        const Window window = XCreateWindow(
            mDisplay, root, x, y, width, height, 0, visual->depth, InputOutput, visual->visual,
            CWColormap | CWBackPixel | CWBorderPixel | CWEventMask, &attributes);
        const VisualID visualId = visual->visualid;
        XFree(visual);
        if (Failed(errorsBefore) || window == 0) {
            XFreeColormap(mDisplay, attributes.colormap);
            return 0;
        }

        XSizeHints* hints = XAllocSizeHints();
        hints->flags = PSize | (placed ? (USPosition | PPosition) : 0);
        hints->x = x;
        hints->y = y;
        hints->width = static_cast<int>(width);
        hints->height = static_cast<int>(height);
        XSetWMNormalHints(mDisplay, window, hints);
        XFree(hints);
        // Window managers give the keyboard only to windows that ask for it.
        XWMHints* wmHints = XAllocWMHints();
        wmHints->flags = InputHint | StateHint;
        wmHints->input = True;
        wmHints->initial_state = NormalState;
        XSetWMHints(mDisplay, window, wmHints);
        XFree(wmHints);

        XStoreName(mDisplay, window, info.title.c_str());
        XChangeProperty(mDisplay, window, mNetWmName, mUtf8String, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(info.title.data()),
                        static_cast<int>(info.title.size()));
        XClassHint classHint{const_cast<char*>(info.title.c_str()),
                             const_cast<char*>(info.className.c_str())};
        XSetClassHint(mDisplay, window, &classHint);
        XSetWMProtocols(mDisplay, window, &mWmDeleteWindow, 1);

        WindowRecord& record = mWindows[window];
        record.colormap = attributes.colormap;
        record.visualId = visualId;
        record.width = static_cast<int32_t>(width);
        record.height = static_cast<int32_t>(height);
        return static_cast<NativeWindow>(window);
    }

    WindowRecord* Find(NativeWindow window) {
        auto it = mWindows.find(static_cast<Window>(window));
        return it == mWindows.end() ? nullptr : &it->second;
    }

    void SetUserData(NativeWindow window, GLWindowInternals* internals) override {
        if (WindowRecord* record = Find(window)) {
            record->userData = internals;
        }
    }
    GLWindowInternals* UserData(NativeWindow window) override {
        WindowRecord* record = Find(window);
        return record != nullptr ? record->userData : nullptr;
    }

    void ShowWindow(NativeWindow window) override {
        if (Find(window) != nullptr) {
            XMapWindow(mDisplay, static_cast<Window>(window));
            XFlush(mDisplay);
        }
    }

    void DestroyNativeWindow(NativeWindow window) override {
        auto it = mWindows.find(static_cast<Window>(window));
        if (it == mWindows.end()) {
            return;
        }
        XDestroyWindow(mDisplay, it->first);
        XFreeColormap(mDisplay, it->second.colormap);
        XSync(mDisplay, False);
        mWindows.erase(it);
    }

    ScreenRect WindowRect(NativeWindow window) override {
        // The window manager owns the frame; the client area is what this system places.
        WindowRecord* record = Find(window);
        if (record == nullptr) {
            return {};
        }
        const WindowPoint origin = ClientToScreen(window, {0, 0});
        return {origin.x, origin.y, origin.x + record->width, origin.y + record->height};
    }

    ScreenRect ClientRect(NativeWindow window) override {
        WindowRecord* record = Find(window);
        return record != nullptr ? ScreenRect{0, 0, record->width, record->height} : ScreenRect{};
    }

    WindowPoint Translate(Window from, Window to, WindowPoint point) {
        int x = 0, y = 0;
        Window child = 0;
        XTranslateCoordinates(mDisplay, from, to, point.x, point.y, &x, &y, &child);
        return {x, y};
    }
    WindowPoint ClientToScreen(NativeWindow window, WindowPoint client) {
        return Translate(static_cast<Window>(window), DefaultRootWindow(mDisplay), client);
    }
    WindowPoint ScreenToClient(NativeWindow window, WindowPoint screen) override {
        if (Find(window) == nullptr) {
            return screen;
        }
        return Translate(DefaultRootWindow(mDisplay), static_cast<Window>(window), screen);
    }

    WindowPoint CursorPosition() override {
        if (mDisplay == nullptr) {
            return {};
        }
        Window root = 0, child = 0;
        int rootX = 0, rootY = 0, x = 0, y = 0;
        unsigned int mask = 0;
        XQueryPointer(mDisplay, DefaultRootWindow(mDisplay), &root, &child, &rootX, &rootY, &x, &y,
                      &mask);
        return {rootX, rootY};
    }

    void MoveWindow(NativeWindow window, int32_t left, int32_t top) override {
        if (Find(window) != nullptr) {
            XMoveWindow(mDisplay, static_cast<Window>(window), left, top);
        }
    }
    void RaiseWindow(NativeWindow window) override {
        if (Find(window) != nullptr) {
            XRaiseWindow(mDisplay, static_cast<Window>(window));
        }
    }
    void CapturePointer(NativeWindow window) override {
        if (Find(window) != nullptr) {
            XGrabPointer(mDisplay, static_cast<Window>(window), False,
                         ButtonPressMask | ButtonReleaseMask | PointerMotionMask, GrabModeAsync,
                         GrabModeAsync, None, None, CurrentTime);
        }
    }
    void ReleasePointer() override {
        if (mDisplay != nullptr) {
            XUngrabPointer(mDisplay, CurrentTime);
        }
    }

    // Events to messages.

    bool TakeMessage(NativeWindow window, WindowMessage& message) override {
        WindowRecord* record = Find(window);
        if (record == nullptr) {
            return false;
        }
        XEvent event;
        // Keyboard mapping changes are addressed to no window; left queued they would pile up.
        while (XCheckTypedEvent(mDisplay, MappingNotify, &event)) {
            XRefreshKeyboardMapping(&event.xmapping);
            mBackquoteKeycode = X11::BackquoteKeycode(mDisplay);
        }
        while (record->queue.empty() &&
               XCheckIfEvent(mDisplay, &event, isForWindow, reinterpret_cast<XPointer>(window))) {
            TranslateEvent(event, *record);
        }
        if (record->queue.empty()) {
            return false;
        }
        message = record->queue.front();
        record->queue.pop_front();
        return true;
    }

    void TranslateEvent(XEvent& event, WindowRecord& record) {
        const NativeWindow window = event.xany.window;
        auto post = [&](uint32_t code, WParam w, LParam l) {
            record.queue.push_back({window, code, w, l});
        };
        switch (event.type) {
            case ButtonPress:
            case ButtonRelease: {
                const XButtonEvent& b = event.xbutton;
                const bool down = event.type == ButtonPress;
                const WParam keys = keyStateBits(b.state);
                const LParam at = PointParam(b.x, b.y);
                switch (b.button) {
                    case Button1:
                        post(down ? Msg::LButtonDown : Msg::LButtonUp, keys, at);
                        break;
                    case Button2:
                        post(down ? Msg::MButtonDown : Msg::MButtonUp, keys, at);
                        break;
                    case Button3:
                        post(down ? Msg::RButtonDown : Msg::RButtonUp, keys, at);
                        break;
                    case Button4:  // one notch away from the user
                    case Button5:
                        if (down) {
                            const int delta = b.button == Button4 ? WheelDelta : -WheelDelta;
                            post(Msg::MouseWheel, WheelParam(delta, keys),
                                 PointParam(b.x_root, b.y_root));
                        }
                        break;
                    default:
                        break;  // sideways scrolling and extra buttons
                }
                break;
            }
            case MotionNotify:
                post(Msg::MouseMove, keyStateBits(event.xmotion.state),
                     PointParam(event.xmotion.x, event.xmotion.y));
                break;
            case KeyPress: {
                XKeyEvent& key = event.xkey;
                char text[8] = {};
                KeySym symbol = 0;
                const int count = XLookupString(&key, text, sizeof text, &symbol, nullptr);
                record.key = {count, count > 0 ? text[0] : '\0', (key.state & ShiftMask) != 0,
                              (key.state & ControlMask) != 0, (key.state & Mod1Mask) != 0};
                const uint32_t virtualKey = X11::VirtualKeyOfPress(key.keycode, mBackquoteKeycode,
                                                                   XLookupKeysym(&key, 0), symbol);
                post(record.key.alt ? Msg::SysKeyDown : Msg::KeyDown, virtualKey, 1);
                break;
            }
            case ConfigureNotify:
                record.width = event.xconfigure.width;
                record.height = event.xconfigure.height;
                post(Msg::WindowPosChanged, 0, 0);
                break;
            case ClientMessage:
                if (event.xclient.message_type == mWmProtocols &&
                    static_cast<Atom>(event.xclient.data.l[0]) == mWmDeleteWindow) {
                    post(Msg::Close, 0, 0);
                }
                break;
            default:
                break;
        }
    }

    bool ReplyToSentMessage(LResult) override { return false; }  // X11 has no sent messages

    LResult DefaultWindowProc(NativeWindow, uint32_t, WParam, LParam) override { return 0; }

    KeyText TranslateKey(NativeWindow window, uint32_t) override {
        WindowRecord* record = Find(window);
        return record != nullptr ? record->key : KeyText{};
    }

    // GL contexts.

    // Index (from 1) of the closest config: RGB 8-8-8, double-buffered, no alpha preferred,
    // the depth nearest the request among those with at least 24 bits, no stencil preferred.
    int32_t ChooseConfig(int screen, const PixelFormatRequest& request) {
        const int minimum[] = {GLX_X_RENDERABLE,
                               True,
                               GLX_DRAWABLE_TYPE,
                               GLX_WINDOW_BIT,
                               GLX_RENDER_TYPE,
                               GLX_RGBA_BIT,
                               GLX_X_VISUAL_TYPE,
                               GLX_TRUE_COLOR,
                               GLX_DOUBLEBUFFER,
                               request.doubleBuffer ? True : False,
                               GLX_RED_SIZE,
                               8,
                               GLX_GREEN_SIZE,
                               8,
                               GLX_BLUE_SIZE,
                               8,
                               GLX_DEPTH_SIZE,
                               24,
                               None};
        int count = 0;
        GLXFBConfig* configs = glXChooseFBConfig(mDisplay, screen, minimum, &count);
        mConfigs.assign(configs, configs + (configs != nullptr ? count : 0));
        if (configs != nullptr) {
            XFree(configs);
        }
        int32_t best = 0;
        long bestScore = 0;
        for (size_t i = 0; i < mConfigs.size(); ++i) {
            auto attribute = [&](int name) {
                int value = 0;
                glXGetFBConfigAttrib(mDisplay, mConfigs[i], name, &value);
                return value;
            };
            const long score = 1000L * std::labs(attribute(GLX_RED_SIZE) - 8) +
                               1000L * std::labs(attribute(GLX_GREEN_SIZE) - 8) +
                               1000L * std::labs(attribute(GLX_BLUE_SIZE) - 8) +
                               100L * std::labs(attribute(GLX_ALPHA_SIZE) - request.alphaBits) +
                               10L * std::labs(attribute(GLX_DEPTH_SIZE) - request.depthBits) +
                               std::labs(attribute(GLX_STENCIL_SIZE) - request.stencilBits);
            if (best == 0 || score < bestScore) {
                best = static_cast<int32_t>(i + 1);
                bestScore = score;
            }
        }
        return best;
    }

    DrawSurface GetDrawSurface(NativeWindow window) override {
        return Find(window) != nullptr ? static_cast<DrawSurface>(window) : 0;
    }

    int32_t ChoosePixelFormat(DrawSurface surface, const PixelFormatRequest& request) override {
        if (Find(surface) == nullptr) {
            return 0;
        }
        return ChooseConfig(DefaultScreen(mDisplay), request);
    }

    // X11 fixes the visual when the window is made, so a format fits only if its visual is
    // the window's.
    bool SetPixelFormat(DrawSurface surface, int32_t format, const PixelFormatRequest&) override {
        WindowRecord* record = Find(surface);
        if (record == nullptr || format < 1 || static_cast<size_t>(format) > mConfigs.size()) {
            return false;
        }
        int visualId = 0;
        glXGetFBConfigAttrib(mDisplay, mConfigs[format - 1], GLX_VISUAL_ID, &visualId);
        if (static_cast<VisualID>(visualId) != record->visualId) {
            mLastError = {BadMatch, "the pixel format does not fit the window's visual"};
            return false;
        }
        record->config = mConfigs[format - 1];
        return true;
    }

    GLContextHandle CreateContext(DrawSurface surface) override {
        WindowRecord* record = Find(surface);
        if (record == nullptr || record->config == nullptr) {
            return nullptr;
        }
        const unsigned long errorsBefore = xErrorCount;
        GLXContext context =
            glXCreateNewContext(mDisplay, record->config, GLX_RGBA_TYPE, nullptr, True);
        if (Failed(errorsBefore) || context == nullptr) {
            if (context != nullptr) {
                glXDestroyContext(mDisplay, context);
            }
            return nullptr;
        }
        mContexts.insert(context);
        return context;
    }

    bool MakeCurrent(DrawSurface surface, GLContextHandle context) override {
        if (mDisplay == nullptr) {
            return context == nullptr;  // without a connection nothing can be current
        }
        return glXMakeCurrent(mDisplay, static_cast<GLXDrawable>(surface),
                              static_cast<GLXContext>(context)) == True;
    }

    DrawSurface CurrentSurface() override {
        return static_cast<DrawSurface>(glXGetCurrentDrawable());
    }
    GLContextHandle CurrentContext() override { return glXGetCurrentContext(); }

    void DeleteContext(GLContextHandle context) override {
        auto it = mContexts.find(static_cast<GLXContext>(context));
        if (it == mContexts.end()) {
            return;
        }
        glXDestroyContext(mDisplay, *it);
        mContexts.erase(it);
    }

    void SwapBuffers(DrawSurface surface) override {
        if (Find(surface) != nullptr) {
            glXSwapBuffers(mDisplay, static_cast<GLXDrawable>(surface));
        }
    }

    void* GetProcAddress(const char* name) override {
        return reinterpret_cast<void*>(
            glXGetProcAddressARB(reinterpret_cast<const GLubyte*>(name)));
    }

    static std::string GLString(GLenum name) {
        const GLubyte* text = glGetString(name);
        return text != nullptr ? reinterpret_cast<const char*>(text) : "";
    }
    std::string ContextVersion() override { return GLString(GL_VERSION); }
    std::string ContextExtensions() override { return GLString(GL_EXTENSIONS); }

    bool HasGlxExtension(const char* name) {
        const char* list = glXQueryExtensionsString(mDisplay, DefaultScreen(mDisplay));
        if (list == nullptr) {
            return false;
        }
        const std::string padded = " " + std::string(list) + " ";
        return padded.find(" " + std::string(name) + " ") != std::string::npos;
    }

    // A dispatching GL library answers every lookup, so the extension list decides.
    bool SetSwapInterval(DrawSurface surface, int interval) override {
        if (mDisplay == nullptr) {
            return false;
        }
        if (HasGlxExtension("GLX_EXT_swap_control")) {
            auto set =
                reinterpret_cast<PFNGLXSWAPINTERVALEXTPROC>(GetProcAddress("glXSwapIntervalEXT"));
            if (set != nullptr) {
                set(mDisplay, static_cast<GLXDrawable>(surface), interval);
                return true;
            }
        }
        if (HasGlxExtension("GLX_MESA_swap_control")) {
            auto set =
                reinterpret_cast<PFNGLXSWAPINTERVALMESAPROC>(GetProcAddress("glXSwapIntervalMESA"));
            if (set != nullptr && set(static_cast<unsigned>(interval)) == 0) {
                return true;
            }
        }
        if (HasGlxExtension("GLX_SGI_swap_control")) {
            auto set =
                reinterpret_cast<PFNGLXSWAPINTERVALSGIPROC>(GetProcAddress("glXSwapIntervalSGI"));
            if (set != nullptr && set(interval) == 0) {  // refuses 0
                return true;
            }
        }
        return false;
    }

    // Rendering through the X server instead of directly is the remote case.
    bool IsRemoteSession() override {
        GLXContext context = glXGetCurrentContext();
        return mDisplay != nullptr && context != nullptr && !glXIsDirect(mDisplay, context);
    }

    SystemError LastError() override { return mLastError; }

    void ShowErrorMessage(std::string_view, std::string_view text) override {
        std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data());
        std::fflush(stderr);
    }

    [[noreturn]] void ExitProcess(uint32_t code) override {
        std::fflush(nullptr);
        std::exit(static_cast<int>(code));
    }
};

}  // namespace

WindowSystem& NativeWindowSystem() {
    static X11WindowSystem system;
    return system;
}

}  // namespace Kor
