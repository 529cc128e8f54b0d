#pragma once
// Splits the bytes that come through the recording pipe into headers and whole frames. A
// connection carries one header and then frames; when the writer closes the pipe (recording
// switched off) the next connection starts with a header of its own, perhaps of another size:
// a new segment.
//
// The bytes are outside input: a header that is not a frame stream's is reported and the rest
// of its connection skipped, and memory grows with the bytes received, not with the size a
// header claims.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "OpenGlLib/FrameStreamFormat.h"

namespace OrvaneRecord {

// Window sides stay below this on the systems that write the stream.
constexpr uint32_t kMaxFrameSide = 32767;

class FrameStreamListener {
public:
    virtual ~FrameStreamListener() = default;
    virtual void OnSegment(const Kor::FrameStreamHeader& header) = 0;
    // One whole frame of the current segment: FrameBytes(width, height) bytes.
    virtual void OnFrame(const uint8_t* frame, size_t size) = 0;
    virtual void OnBadHeader(const Kor::FrameStreamHeader& header) = 0;
};

class FrameStreamParser {
public:
    explicit FrameStreamParser(FrameStreamListener& listener) : mListener(listener) {}

    // The next bytes of the current connection.
    void Feed(const uint8_t* data, size_t size);
    // The writer closed the pipe: a frame cut short is dropped, and the next connection begins
    // with a header.
    void EndConnection();

    uint64_t FramesCutShort() const { return mFramesCutShort; }
    // Bytes held for the frame being received (tests check that it follows the input).
    size_t BufferCapacity() const { return mFrame.capacity(); }

private:
    enum class State { Header, Frames, Skip };

    void TakeHeader();

    FrameStreamListener& mListener;
    State mState = State::Header;
    uint8_t mHeader[Kor::kFrameStreamHeaderBytes] = {};
    size_t mHeaderFill = 0;
    size_t mFrameBytes = 0;
    std::vector<uint8_t> mFrame;
    uint64_t mFramesCutShort = 0;
};

enum class HeaderKind {
    Frames,    // frames follow
    NoPixels,  // a window without pixels: nothing follows, and nothing is wrong
    Bad,       // not a frame stream's header
};
HeaderKind ClassifyHeader(const Kor::FrameStreamHeader& header);

}  // namespace OrvaneRecord
