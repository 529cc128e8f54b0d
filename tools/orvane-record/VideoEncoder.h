#pragma once
// A video made of recorded frames by an ffmpeg child process that reads them raw on its
// standard input: 30 frames per second, one video frame per recorded frame, H.264 or whatever
// the file's extension calls for.

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

namespace OrvaneRecord {

// The message of a build that cannot make videos (Windows, for now); null where it can.
#if defined(_WIN32)
extern const char* const kVideoUnavailable;
#else
constexpr const char* kVideoUnavailable = nullptr;
#endif

// The full path of an executable found in $PATH; empty when there is none.
std::string FindExecutable(const std::string& name);

// ffmpeg's arguments (without the program) for frames of width x height written to path.
std::vector<std::string> FfmpegArguments(const std::string& path, uint32_t width, uint32_t height);

class VideoEncoder {
public:
    VideoEncoder() = default;
    ~VideoEncoder();
    VideoEncoder(const VideoEncoder&) = delete;
    VideoEncoder& operator=(const VideoEncoder&) = delete;

    // Starts ffmpeg for frames of width x height. False with the reason in `error`.
    bool Start(const std::string& ffmpeg, const std::string& path, uint32_t width, uint32_t height,
               std::string& error);
    bool Running() const { return mPid > 0; }
    uint32_t Width() const { return mWidth; }
    uint32_t Height() const { return mHeight; }
    const std::string& Path() const { return mPath; }
    // Hands ffmpeg one frame. False when ffmpeg stopped taking frames.
    bool Write(const uint8_t* frame, size_t size, std::string& error);
    // Ends ffmpeg's input and waits until it has finished the file. False when it failed.
    bool Finish(std::string& error);

private:
    pid_t mPid = -1;
    int mInput = -1;
    uint32_t mWidth = 0;
    uint32_t mHeight = 0;
    std::string mPath;
};

}  // namespace OrvaneRecord
