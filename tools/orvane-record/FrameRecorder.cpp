#include "tools/orvane-record/FrameRecorder.h"

#include <chrono>
#include <filesystem>

#include "PlatformLib/Utf8Path.h"
#include "tools/orvane-record/PngFrameWriter.h"

namespace OrvaneRecord {

namespace {

double secondsNow() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

std::string VideoFileName(const std::string& path, uint64_t n) {
    if (n <= 1) {
        return path;
    }
    // Through the system's paths, so that a non-ASCII name keeps its characters on Windows.
    const std::filesystem::path file = Kor::PathFromUtf8(path);
    std::filesystem::path numbered = file;
    numbered.replace_filename(file.stem().native() +
                              Kor::PathFromUtf8("-" + std::to_string(n)).native() +
                              file.extension().native());
    return Kor::PathToUtf8(numbered);
}

FrameRecorder::FrameRecorder(const RecordOptions& options, std::string ffmpeg,
                             ProgressLine& progress, std::FILE* messages)
    : mOptions(options), mFfmpeg(std::move(ffmpeg)), mProgress(progress), mMessages(messages) {}

void FrameRecorder::Fail(const std::string& message) {
    mProgress.Finish();
    std::fprintf(mMessages, "orvane-record: %s\n", message.c_str());
    mFailed = true;
}

void FrameRecorder::OnSegment(const Kor::FrameStreamHeader& header) {
    if (Done()) {
        return;
    }
    mHeader = header;
    ++mSegments;
    if (mOptions.videoFile.empty() ||
        (mVideo.Running() && mVideo.Width() == header.width && mVideo.Height() == header.height)) {
        return;
    }
    std::string error;
    if (mVideo.Running() && !mVideo.Finish(error)) {
        Fail(error);
        return;
    }
    const std::string path = VideoFileName(mOptions.videoFile, mVideos.size() + 1);
    if (!mVideo.Start(mFfmpeg, path, header.width, header.height, error)) {
        Fail(error);
        return;
    }
    mVideos.push_back(path);
}

void FrameRecorder::OnFrame(const uint8_t* frame, size_t size) {
    if (Done()) {
        return;
    }
    ++mFrames;
    std::string error;
    if (!mOptions.pngFolder.empty()) {
        const std::string path =
            Kor::PathToUtf8(Kor::PathFromUtf8(mOptions.pngFolder) / PngFrameName(mFrames));
        if (!WritePngFrame(path, mHeader.width, mHeader.height, frame, error)) {
            Fail("cannot write " + path + ": " + error);
            return;
        }
    }
    if (mVideo.Running() && !mVideo.Write(frame, size, error)) {
        Fail(error);
        return;
    }
    mProgress.Update(secondsNow(), mFrames, mSegments, mHeader.width, mHeader.height);
}

void FrameRecorder::OnBadHeader(const Kor::FrameStreamHeader& header) {
    mProgress.Finish();
    std::fprintf(mMessages,
                 "orvane-record: skipping a stream that is not Orvane's frames (format %u, "
                 "%u x %u)\n",
                 header.format, header.width, header.height);
}

bool FrameRecorder::Finish() {
    std::string error;
    if (!mVideo.Finish(error)) {
        Fail(error);
    }
    mProgress.Finish();
    return !mFailed;
}

}  // namespace OrvaneRecord
