#pragma once
// The platform part of a GLWindow: its native window and GL context, the window class, the
// process-wide map from GL context to window, and the window procedure that turns messages
// into handler calls.
//
// Sections: process-wide state; construction and Init; frames (context stacks); messages.

#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <vector>

#include "OpenGlLib/GLWindowEvents.h"
#include "OpenGlLib/WindowMessages.h"
#include "OpenGlLib/WindowSystem.h"

namespace Kor {

class GLWindow;

using WindowProcedure = std::function<LResult(NativeWindow, uint32_t, WParam, LParam)>;

class GLWindowInternals {
public:
    explicit GLWindowInternals(GLWindow* window);
    ~GLWindowInternals();
    GLWindowInternals(const GLWindowInternals&) = delete;
    GLWindowInternals& operator=(const GLWindowInternals&) = delete;

    // Registers the window class "GLWClass" if needed and keeps the first default procedure.
    static bool RegisterQelClass(WindowProcedure defaultProc);

    // Creates the native window and its GL context and makes the context current. Every
    // failure ends the process; returns true.
    bool Init();

    // Makes this window's context current, remembering the one that was current.
    void PushCurrentContext();
    // Makes the remembered context current again, or none when nothing is remembered.
    void PopCurrentContext();

    void SwapBuffers();

    // Dispatches every pending message of the window to WindowProc.
    void PumpMessages();

    static LResult WindowProc(NativeWindow hwnd, uint32_t message, WParam w, LParam l);

    // Unmaps and deletes the GL context and destroys the native window.
    void Release();

    // Reports the last system error and ends the process with its code.
    [[noreturn]] static void ShowFatalSystemError();

    // Process-wide state.
    static WindowProcedure DefaultProc;
    static std::map<GLContextHandle, GLWindowInternals*> mContextMap;
    static std::recursive_mutex mContextMapMutex;
    static std::recursive_mutex mCreationMutex;  // held through every Init
    static bool mEntryPointsLoaded;              // by the first successful Init

    GLWindow* mWindow = nullptr;
    NativeWindow mhwnd = 0;
    DrawSurface mhdc = 0;
    GLContextHandle mhglrc = nullptr;
    bool mDragging = false;
    WindowPoint mDragAnchor;
    WindowPoint mDragOrigin;
    WindowPoint mLastMouse;
    // Frame recording (PipeOutput.h): switched by <name>.RecordToPipe.
    bool mStreaming = false;
    int32_t mRecordToPipeDefault = 0;
    int32_t* mRecordToPipe = nullptr;
    int32_t mRecordWidth = 0;
    int32_t mRecordHeight = 0;
    std::vector<uint8_t> mRecordBuffer;  // one frame, kept while streaming
    uint32_t mReportedPipeError = 0;     // the open failure already printed for this request
    std::vector<DrawSurface> mDCStack;
    std::vector<GLContextHandle> mContextStack;

private:
    // Named as the checks that report them are written.
    bool SetPixelFormat(DrawSurface hdc, int32_t iPixelFormat, const PixelFormatRequest* pfd);
    void HandleKeyDown(WParam virtualKey);
    void StartCaptionDrag(LParam l);
    void DragTo(WindowPoint cursor);
};

}  // namespace Kor
