#pragma once
// A window system without a display for tests: windows, contexts and messages live in memory,
// every call is counted, and each step of window creation can be made to fail.

#include <cstdio>
#include <cstdlib>
#include <deque>
#include <map>
#include <string>

#include "OpenGlLib/WindowSystem.h"

namespace OrvaneTest {

class FakeWindowSystem : public Kor::WindowSystem {
public:
    // Set these before a window is made to fail its creation steps.
    bool failRegisterClass = false;
    bool failCreateWindow = false;
    Kor::SystemError createError{5, "Access denied"};
    bool noDrawSurface = false;
    bool noPixelFormat = false;
    bool rejectPixelFormat = false;
    int failCreateContextTimes = 0;  // this many context creations fail first
    std::string contextVersion = "4.5 (Compatibility Profile) Fake";
    std::string contextExtensions;
    bool remote = false;
    bool haveSwapInterval = true;

    // What the code did.
    int registerClassCalls = 0;
    int setPixelFormatCalls = 0;
    int createContextCalls = 0;
    int procLookups = 0;
    int swapIntervalCalls = 0;
    int lastSwapInterval = -1;
    int swapCount = 0;
    int releaseCount = 0;
    std::map<Kor::NativeWindow, Kor::WindowCreateInfo> created;
    std::map<Kor::NativeWindow, bool> destroyed;
    std::map<Kor::GLContextHandle, bool> deletedContexts;

    // Input state the window procedure reads.
    Kor::KeyText key;
    Kor::WindowPoint cursor;
    Kor::ScreenRect client{0, 0, 640, 480};
    Kor::WindowPoint clientOrigin{100, 50};  // of every window, on the screen
    Kor::ScreenRect windowRect{92, 23, 740, 530};
    std::deque<Kor::WindowMessage> pending;

    bool IsClassRegistered(std::string_view name) override {
        return mClasses.count(std::string(name));
    }
    bool RegisterClass(std::string_view name) override {
        ++registerClassCalls;
        if (failRegisterClass) {
            return false;
        }
        mClasses[std::string(name)] = true;
        return true;
    }

    Kor::NativeWindow CreateNativeWindow(const Kor::WindowCreateInfo& info) override {
        if (failCreateWindow) {
            mLastError = createError;
            return 0;
        }
        const Kor::NativeWindow window = mNextWindow++;
        created[window] = info;
        return window;
    }
    void SetUserData(Kor::NativeWindow window, Kor::GLWindowInternals* internals) override {
        mUserData[window] = internals;
    }
    Kor::GLWindowInternals* UserData(Kor::NativeWindow window) override {
        auto it = mUserData.find(window);
        return it == mUserData.end() ? nullptr : it->second;
    }
    void ShowWindow(Kor::NativeWindow) override {}
    void DestroyNativeWindow(Kor::NativeWindow window) override {
        if (created.count(window) && !destroyed[window]) {
            destroyed[window] = true;
            mUserData.erase(window);
        }
    }
    Kor::ScreenRect WindowRect(Kor::NativeWindow) override { return windowRect; }
    Kor::ScreenRect ClientRect(Kor::NativeWindow) override { return client; }
    Kor::WindowPoint ScreenToClient(Kor::NativeWindow, Kor::WindowPoint screen) override {
        return {screen.x - clientOrigin.x, screen.y - clientOrigin.y};
    }
    Kor::WindowPoint CursorPosition() override { return cursor; }
    void MoveWindow(Kor::NativeWindow, int32_t left, int32_t top) override {
        windowRect.right += left - windowRect.left;
        windowRect.bottom += top - windowRect.top;
        windowRect.left = left;
        windowRect.top = top;
    }
    void RaiseWindow(Kor::NativeWindow) override {}
    void CapturePointer(Kor::NativeWindow window) override { captured = window; }
    void ReleasePointer() override {
        captured = 0;
        ++releaseCount;
    }
    Kor::NativeWindow captured = 0;

    bool TakeMessage(Kor::NativeWindow window, Kor::WindowMessage& message) override {
        for (auto it = pending.begin(); it != pending.end(); ++it) {
            if (it->window == window) {
                message = *it;
                pending.erase(it);
                return true;
            }
        }
        return false;
    }
    bool ReplyToSentMessage(Kor::LResult) override { return false; }
    Kor::LResult DefaultWindowProc(Kor::NativeWindow, uint32_t message, Kor::WParam,
                                   Kor::LParam) override {
        lastDefaultMessage = message;
        ++defaultCalls;
        return 77;  // recognisable: the procedure passed the message on
    }
    uint32_t lastDefaultMessage = 0;
    int defaultCalls = 0;

    Kor::KeyText TranslateKey(Kor::NativeWindow, uint32_t) override { return key; }

    Kor::DrawSurface GetDrawSurface(Kor::NativeWindow window) override {
        return noDrawSurface ? 0 : window + 1000;
    }
    int32_t ChoosePixelFormat(Kor::DrawSurface, const Kor::PixelFormatRequest& request) override {
        lastRequest = request;
        return noPixelFormat ? 0 : 7;
    }
    Kor::PixelFormatRequest lastRequest;
    bool SetPixelFormat(Kor::DrawSurface, int32_t, const Kor::PixelFormatRequest&) override {
        ++setPixelFormatCalls;
        return !rejectPixelFormat;
    }
    Kor::GLContextHandle CreateContext(Kor::DrawSurface) override {
        ++createContextCalls;
        if (failCreateContextTimes > 0) {
            --failCreateContextTimes;
            return nullptr;
        }
        return reinterpret_cast<Kor::GLContextHandle>(mNextContext++);
    }
    bool MakeCurrent(Kor::DrawSurface surface, Kor::GLContextHandle context) override {
        currentSurface = surface;
        currentContext = context;
        return true;
    }
    Kor::DrawSurface CurrentSurface() override { return currentSurface; }
    Kor::GLContextHandle CurrentContext() override { return currentContext; }
    Kor::DrawSurface currentSurface = 0;
    Kor::GLContextHandle currentContext = nullptr;
    void DeleteContext(Kor::GLContextHandle context) override { deletedContexts[context] = true; }
    void SwapBuffers(Kor::DrawSurface) override { ++swapCount; }
    void* GetProcAddress(const char*) override {
        ++procLookups;
        return reinterpret_cast<void*>(&FakeWindowSystem::anyEntryPoint);  // as glvnd does
    }
    bool SetSwapInterval(Kor::DrawSurface, int interval) override {
        ++swapIntervalCalls;
        lastSwapInterval = interval;
        return haveSwapInterval;
    }
    std::string ContextVersion() override { return contextVersion; }
    std::string ContextExtensions() override { return contextExtensions; }

    bool IsRemoteSession() override { return remote; }
    Kor::SystemError LastError() override { return mLastError; }
    void ShowErrorMessage(std::string_view, std::string_view text) override {
        std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data());
    }
    [[noreturn]] void ExitProcess(uint32_t code) override {
        std::fflush(nullptr);
        std::_Exit(static_cast<int>(code));
    }

    // Queues a message for a window, as the system would post it.
    void Post(Kor::NativeWindow window, uint32_t message, Kor::WParam w = 0, Kor::LParam l = 0) {
        pending.push_back({window, message, w, l});
    }

private:
    static void anyEntryPoint() {}
    std::map<std::string, bool> mClasses;
    std::map<Kor::NativeWindow, Kor::GLWindowInternals*> mUserData;
    Kor::NativeWindow mNextWindow = 1;
    uintptr_t mNextContext = 0x100;
    Kor::SystemError mLastError;
};

// Installs a fresh fake for the lifetime of a test.
class ScopedFakeWindowSystem {
public:
    ScopedFakeWindowSystem() { Kor::SetWindowSystem(&fake); }
    ~ScopedFakeWindowSystem() { Kor::SetWindowSystem(nullptr); }
    FakeWindowSystem fake;
};

}  // namespace OrvaneTest
