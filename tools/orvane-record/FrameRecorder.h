#pragma once
// What orvane-record does with the frames it receives: numbered PNG files and/or a video,
// until the frame limit. PNG numbers run on across segments. A segment of the size of the
// video keeps adding to it; a segment of another size finishes it and starts the next video
// file ("take.mp4", then "take-2.mp4", ...), since a video has one size.

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/orvane-record/FrameStreamParser.h"
#include "tools/orvane-record/ProgressLine.h"
#include "tools/orvane-record/RecordOptions.h"
#include "tools/orvane-record/VideoEncoder.h"

namespace OrvaneRecord {

// The file of the n-th video (n from 1): the path itself, then "-n" before its extension.
std::string VideoFileName(const std::string& path, uint64_t n);

class FrameRecorder final : public FrameStreamListener {
public:
    // ffmpeg: its path, needed when the options ask for a video. Messages go to `messages`.
    FrameRecorder(const RecordOptions& options, std::string ffmpeg, ProgressLine& progress,
                  std::FILE* messages);

    void OnSegment(const Kor::FrameStreamHeader& header) override;
    void OnFrame(const uint8_t* frame, size_t size) override;
    void OnBadHeader(const Kor::FrameStreamHeader& header) override;

    // The frame limit is reached, or an output failed.
    bool Done() const { return mFailed || (mOptions.frames && mFrames >= *mOptions.frames); }
    bool Failed() const { return mFailed; }
    // Finishes the video being made. False when any output failed.
    bool Finish();

    uint64_t Frames() const { return mFrames; }
    uint64_t Segments() const { return mSegments; }
    const std::vector<std::string>& Videos() const { return mVideos; }

private:
    void Fail(const std::string& message);

    RecordOptions mOptions;
    std::string mFfmpeg;
    ProgressLine& mProgress;
    std::FILE* mMessages;
    Kor::FrameStreamHeader mHeader{0, 0, 0};
    uint64_t mFrames = 0;
    uint64_t mSegments = 0;
    bool mFailed = false;
    VideoEncoder mVideo;
    std::vector<std::string> mVideos;
};

}  // namespace OrvaneRecord
