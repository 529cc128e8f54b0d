#pragma once
// Recording of presented frames to a pipe that another process reads (FrameStreamFormat.h):
// the process-wide pipe, shared by every window, and RecordFrame, which a window's Present
// step calls before the buffers are swapped, so that the overlay is in the picture.
//
// Recording is asked for by the window's variable <name>.RecordToPipe. While the pipe cannot
// be opened, every frame tries again (a failed open costs a system call or two), and
// "Could not open pipe. GLE=<code>" is printed when the failure is new to that request: once
// per request and reason, not once per frame. A failed write prints
// "WriteFile to pipe failed. GLE=<code>" and switches the variable off.

#include <cstdint>

namespace Kor {

class GLWindowInternals;

// Reads the lower-left width x height pixels of the frame about to be presented into pixels:
// blue-green-red bytes, rows bottom-up, rowPixels pixels from the start of one row to the next.
using FramePixelReader = void (*)(int32_t width, int32_t height, int32_t rowPixels,
                                  uint8_t* pixels);

// The reader of the current GL context's back buffer.
void ReadBackBuffer(int32_t width, int32_t height, int32_t rowPixels, uint8_t* pixels);

// Makes sure the process-wide pipe is open. A failure to open is printed unless its code is
// already in reportedError, which then holds it; a successful open clears it.
bool OpenPipe(uint32_t& reportedError);
// Marks the pipe closed and closes its handle, if one was opened.
void ClosePipe();
bool IsPipeOpen();

// One frame of the window: starts a stream (header with the window's size) when recording is
// asked for, sends the frame while streaming, ends the stream when recording is switched off.
void RecordFrame(GLWindowInternals& internals, FramePixelReader read = ReadBackBuffer);

}  // namespace Kor
