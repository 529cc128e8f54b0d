#pragma once
// The pipe that Orvane writes its frames to, served by the recorder: a FIFO on Linux
// (RecordingFifo.cpp), the named pipe on Windows (RecordingPipeWindows.cpp). Either waits for
// a writer and its bytes until the user asks to stop with Ctrl+C.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace OrvaneRecord {

enum class PipeReadStatus {
    Data,        // `bytes` bytes arrived (0 for an empty message)
    WriterGone,  // the writer closed its end; the next read waits for the next writer
    Stopped,     // Ctrl+C (or the system's equivalent) asked the recorder to stop
    Failed,      // the reason is in `error`
};

struct PipeRead {
    PipeReadStatus status;
    size_t bytes;
};

class RecordingPipe {
public:
    // Catches Ctrl+C, then makes and serves the pipe. A pipe that another recorder serves (or
    // anything else at the path) is left alone: null, with the reason in `error`.
    static std::unique_ptr<RecordingPipe> Create(const std::string& path, std::string& error);
    virtual ~RecordingPipe() = default;

    virtual const std::string& Path() const = 0;
    // Waits for a writer when none is connected, then for up to `size` of its bytes.
    virtual PipeRead Read(uint8_t* buffer, size_t size, std::string& error) = 0;
    // From now on a Ctrl+C ends the program at once (a second one, while the video is
    // finished).
    virtual void LetStopEndProgram() = 0;
};

}  // namespace OrvaneRecord
