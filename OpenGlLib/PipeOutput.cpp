#include "OpenGlLib/PipeOutput.h"

#include "OpenGlLib/GLHeaders.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

#include "OpenGlLib/FrameStreamFormat.h"
#include "OpenGlLib/GLWindow.h"
#include "OpenGlLib/GLWindowInternals.h"
#include "OpenGlLib/PipeTransport.h"
#include "RuntimeLib/Logging.h"

namespace Kor {

namespace {

// One pipe for the process. "open" is set while an open is attempted, as the window code
// has always done; the handle tells whether there is anything to close.
struct ProcessPipe {
    bool open = false;
    PipeHandle handle = kNoPipe;
};
ProcessPipe processPipe;

constexpr uint32_t kBusyWaitMs = 20000;

// Printed, not logged: the user who asked for recording should see why nothing arrives.
void printPipeError(const char* what, uint32_t error) {
    std::printf("%s. GLE=%lu\n", what, static_cast<unsigned long>(error));
    std::fflush(stdout);
}

// The pipe takes large writes in pieces; interrupted writes are tried again.
bool writeToPipe(const uint8_t* data, size_t size, uint32_t& error) {
    PipeTransport& transport = GetPipeTransport();
    while (size > 0) {
        const PipeWriteResult result = transport.Write(processPipe.handle, data, size);
        if (result.status == PipeWriteStatus::Interrupted) {
            continue;
        }
        if (result.status != PipeWriteStatus::Wrote || result.written == 0) {
            error = result.error;
            return false;
        }
        const size_t written = std::min(result.written, size);
        data += written;
        size -= written;
    }
    return true;
}

void switchOff(std::atomic_ref<int32_t>& request) {
    request.store(0, std::memory_order_relaxed);
}

void startStream(GLWindowInternals& internals, std::atomic_ref<int32_t>& request) {
    const GLWindow& window = *internals.mWindow;
    // A minimised window has no pixels; its stream would carry nothing. Wait for a size.
    if (window.mWidth <= 0 || window.mHeight <= 0) {
        return;
    }
    internals.mRecordWidth = window.mWidth;
    internals.mRecordHeight = window.mHeight;
    if (!OpenPipe(internals.mReportedPipeError)) {
        return;  // asked for still: the next frame tries again
    }
    const auto header =
        EncodeFrameStreamHeader({kFrameStreamFormat, static_cast<uint32_t>(internals.mRecordWidth),
                                 static_cast<uint32_t>(internals.mRecordHeight)});
    uint32_t error = 0;
    if (!writeToPipe(header.data(), header.size(), error)) {
        printPipeError("WriteFile to pipe failed", error);
        ClosePipe();
        switchOff(request);
        return;
    }
    internals.mStreaming = true;
}

void sendFrame(GLWindowInternals& internals, std::atomic_ref<int32_t>& request,
               FramePixelReader read) {
    if (!IsPipeOpen()) {  // another window's stream closed the shared pipe
        switchOff(request);
        return;
    }
    const int32_t width = internals.mRecordWidth;
    const int32_t height = internals.mRecordHeight;
    std::vector<uint8_t>& frame = internals.mRecordBuffer;
    // One buffer for the whole stream: the size is fixed by its header.
    const size_t frameBytes =
        FrameBytes(static_cast<uint32_t>(width), static_cast<uint32_t>(height));
    if (frame.size() != frameBytes) {
        try {
            frame.assign(frameBytes, 0);
        } catch (const std::bad_alloc&) {
            return;  // this frame is skipped
        }
    }
    // A window smaller than the stream's frames is read only where it has pixels; the rest of
    // the frame is black.
    const GLWindow& window = *internals.mWindow;
    const int32_t readWidth = std::clamp(window.mWidth, 0, width);
    const int32_t readHeight = std::clamp(window.mHeight, 0, height);
    if (readWidth < width || readHeight < height) {
        std::memset(frame.data(), 0, frame.size());
    }
    if (readWidth > 0 && readHeight > 0) {
        read(readWidth, readHeight, width, frame.data());
    }
    uint32_t error = 0;
    if (!writeToPipe(frame.data(), frame.size(), error)) {
        // The pipe stays open until the next frame, which finds the variable off and ends the
        // stream.
        printPipeError("WriteFile to pipe failed", error);
        switchOff(request);
    }
}

void endStream(GLWindowInternals& internals) {
    ClosePipe();
    internals.mStreaming = false;
    std::vector<uint8_t>().swap(internals.mRecordBuffer);
}

}  // namespace

void ReadBackBuffer(int32_t width, int32_t height, int32_t rowPixels, uint8_t* pixels) {
    GLint readBuffer = GL_BACK, alignment = 4, rowLength = 0;
    glGetIntegerv(GL_READ_BUFFER, &readBuffer);
    glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
    glGetIntegerv(GL_PACK_ROW_LENGTH, &rowLength);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ROW_LENGTH, rowPixels);
    glReadPixels(0, 0, width, height, GL_BGR, GL_UNSIGNED_BYTE, pixels);
    glPixelStorei(GL_PACK_ROW_LENGTH, rowLength);
    glPixelStorei(GL_PACK_ALIGNMENT, alignment);
    glReadBuffer(static_cast<GLenum>(readBuffer));
}

bool OpenPipe(uint32_t& reportedError) {
    if (processPipe.open) {
        return true;
    }
    processPipe.open = true;
    QEL_LOG_VERBOSE("[Default] Opening pipe ... ");
    PipeTransport& transport = GetPipeTransport();
    PipeOpenResult result = transport.Open();
    while (result.status != PipeOpenStatus::Opened) {
        if (result.status == PipeOpenStatus::Failed) {
            if (result.error != reportedError) {
                printPipeError("Could not open pipe", result.error);
                reportedError = result.error;
            }
            processPipe.open = false;
            return false;
        }
        if (!transport.WaitUntilFree(kBusyWaitMs)) {
            QEL_LOG_VERBOSE("[Default] Could not open pipe: 20 second wait timed out.");
            processPipe.open = false;  // nothing was opened, so there is nothing to close
            return false;
        }
        result = transport.Open();
    }
    processPipe.handle = result.handle;
    if (const uint32_t error = transport.SetWriteMode(processPipe.handle); error != 0) {
        printPipeError("SetNamedPipeHandleState failed", error);
        ClosePipe();
        return false;
    }
    reportedError = 0;
    QEL_LOG_VERBOSE("[Default] Pipe opened OK!  ");
    return true;
}

void ClosePipe() {
    processPipe.open = false;
    if (processPipe.handle != kNoPipe) {
        GetPipeTransport().Close(processPipe.handle);
        processPipe.handle = kNoPipe;
    }
}

bool IsPipeOpen() {
    return processPipe.open;
}

void RecordFrame(GLWindowInternals& internals, FramePixelReader read) {
    std::atomic_ref<int32_t> request(*internals.mRecordToPipe);
    if (request.load(std::memory_order_relaxed) != 0) {
        if (!internals.mStreaming) {
            startStream(internals, request);
        }
        if (internals.mStreaming) {
            sendFrame(internals, request, read);
        }
    } else {
        internals.mReportedPipeError = 0;  // a new request reports its failures again
        if (internals.mStreaming) {
            endStream(internals);
        }
    }
}

}  // namespace Kor
