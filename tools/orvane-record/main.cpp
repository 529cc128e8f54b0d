// orvane-record: makes the pipe that Orvane records its window to, and turns the frames that
// come through it into numbered PNG files and/or a video.
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "OpenGlLib/FrameStreamFormat.h"
#include "PlatformLib/Process.h"
#include "PlatformLib/Utf8Path.h"
#include "tools/orvane-record/FrameRecorder.h"
#include "tools/orvane-record/FrameStreamParser.h"
#include "tools/orvane-record/ProgressLine.h"
#include "tools/orvane-record/RecordOptions.h"
#include "tools/orvane-record/RecordingPipe.h"
#include "tools/orvane-record/VideoEncoder.h"

namespace {

using namespace OrvaneRecord;

// Reads one connection after another until the recorder is done, a stop is asked for, or,
// without a frame limit, Orvane stops recording. False with the reason in `error`.
bool receive(RecordingPipe& pipe, const RecordOptions& options, FrameStreamParser& parser,
             const FrameRecorder& recorder, std::string& error) {
    std::vector<uint8_t> buffer(size_t{1} << 20);
    while (!recorder.Done()) {
        const PipeRead read = pipe.Read(buffer.data(), buffer.size(), error);
        switch (read.status) {
            case PipeReadStatus::Data:
                parser.Feed(buffer.data(), read.bytes);
                break;
            case PipeReadStatus::WriterGone:
                parser.EndConnection();
                if (!options.frames) {
                    return true;  // Orvane stopped recording
                }
                break;
            case PipeReadStatus::Stopped:
                return true;
            case PipeReadStatus::Failed:
                return false;
        }
    }
    return true;
}

void printSummary(const RecordOptions& options, const FrameStreamParser& parser,
                  const FrameRecorder& recorder) {
    std::fprintf(
        stderr, "orvane-record: %llu frame%s in %llu segment%s",
        static_cast<unsigned long long>(recorder.Frames()), recorder.Frames() == 1 ? "" : "s",
        static_cast<unsigned long long>(recorder.Segments()), recorder.Segments() == 1 ? "" : "s");
    if (!options.pngFolder.empty() && recorder.Frames() > 0) {
        std::fprintf(stderr, ", PNG files in %s", options.pngFolder.c_str());
    }
    for (const std::string& video : recorder.Videos()) {
        std::fprintf(stderr, ", video %s", video.c_str());
    }
    if (parser.FramesCutShort() > 0) {
        std::fprintf(stderr, " (%llu frame%s cut short left out)",
                     static_cast<unsigned long long>(parser.FramesCutShort()),
                     parser.FramesCutShort() == 1 ? "" : "s");
    }
    std::fputc('\n', stderr);
}

}  // namespace

int main(int argc, char** argv) {
    // UTF-8 words, whatever the system's code page (Windows hands argv over in its ANSI one).
    std::vector<std::string> arguments = Kor::CommandLineArguments(argc, argv);
    if (!arguments.empty()) {
        arguments.erase(arguments.begin());
    }
    const ParsedOptions parsed = ParseRecordOptions(arguments);
    if (!parsed.error.empty()) {
        std::fprintf(stderr, "orvane-record: %s\n\n%s", parsed.error.c_str(), kUsage);
        return 2;
    }
    const RecordOptions& options = parsed.options;
    if (options.help) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    std::string ffmpeg;
    if (!options.videoFile.empty()) {
        if (kVideoUnavailable != nullptr) {
            std::fprintf(stderr, "orvane-record: %s\n", kVideoUnavailable);
            return 2;
        }
        ffmpeg = FindExecutable("ffmpeg");
        if (ffmpeg.empty()) {
            std::fprintf(stderr,
                         "orvane-record: --video needs ffmpeg, which is not installed (on Debian: "
                         "apt-get install ffmpeg); --png works without it\n");
            return 1;
        }
    }
    if (!options.pngFolder.empty()) {
        std::error_code failure;
        std::filesystem::create_directories(Kor::PathFromUtf8(options.pngFolder), failure);
        if (failure) {
            std::fprintf(stderr, "orvane-record: cannot make the folder %s: %s\n",
                         options.pngFolder.c_str(), failure.message().c_str());
            return 1;
        }
    }
    // ffmpeg going away must be a failed write, not the end of the recorder.
    Kor::IgnoreBrokenPipes();

    std::string error;
    const std::unique_ptr<RecordingPipe> pipe =
        RecordingPipe::Create(Kor::RecordingPipePath(), error);
    if (!pipe) {
        std::fprintf(stderr, "orvane-record: %s\n", error.c_str());
        return 1;
    }
    ProgressLine progress(stderr, Kor::StandardErrorIsTerminal());
    FrameRecorder recorder(options, ffmpeg, progress, stderr);
    FrameStreamParser parser(recorder);
    std::fprintf(stderr,
                 "orvane-record: waiting for Orvane at %s (set Orvane.RecordToPipe to 1 to "
                 "record; Ctrl+C stops)\n",
                 pipe->Path().c_str());

    const bool received = receive(*pipe, options, parser, recorder, error);
    // A second Ctrl+C while the video is finished ends the program at once.
    pipe->LetStopEndProgram();
    const bool finished = recorder.Finish();
    if (!received) {
        std::fprintf(stderr, "orvane-record: %s\n", error.c_str());
    }
    printSummary(options, parser, recorder);
    return received && finished ? 0 : 1;
}
