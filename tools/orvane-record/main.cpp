// orvane-record: makes the pipe that Orvane records its window to, and turns the frames that
// come through it into numbered PNG files and/or a video.
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "OpenGlLib/FrameStreamFormat.h"
#include "tools/orvane-record/FrameRecorder.h"
#include "tools/orvane-record/FrameStreamParser.h"
#include "tools/orvane-record/ProgressLine.h"
#include "tools/orvane-record/RecordOptions.h"
#include "tools/orvane-record/RecordingFifo.h"
#include "tools/orvane-record/StopSignals.h"
#include "tools/orvane-record/VideoEncoder.h"

namespace {

using namespace OrvaneRecord;

// Reads one connection after another until the recorder is done, a stop is asked for, or,
// without a frame limit, Orvane stops recording. False with the reason in `error`.
bool receive(const RecordingFifo& fifo, const RecordOptions& options, FrameStreamParser& parser,
             const FrameRecorder& recorder, const StopSignals& stop, std::string& error) {
    std::vector<uint8_t> buffer(size_t{1} << 20);
    while (!stop.Requested() && !recorder.Done()) {
        const int fd = fifo.OpenReadEnd(error);
        if (fd < 0) {
            return false;
        }
        bool writerGone = false;
        while (!stop.Requested() && !recorder.Done()) {
            pollfd wait{fd, POLLIN, 0};
            if (::ppoll(&wait, 1, nullptr, stop.WaitMask()) < 0 && errno != EINTR) {
                error = std::string("cannot wait for the pipe: ") + std::strerror(errno);
                ::close(fd);
                return false;
            }
            const ssize_t got = ::read(fd, buffer.data(), buffer.size());
            if (got > 0) {
                parser.Feed(buffer.data(), static_cast<size_t>(got));
            } else if (got == 0) {
                writerGone = true;
                break;
            } else if (errno != EAGAIN && errno != EINTR) {
                error = std::string("cannot read the pipe: ") + std::strerror(errno);
                ::close(fd);
                return false;
            }
        }
        // Opened again for the next connection: the end of this one would otherwise stay
        // readable for good.
        ::close(fd);
        if (writerGone) {
            parser.EndConnection();
            if (!options.frames) {
                break;  // Orvane stopped recording
            }
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
    const ParsedOptions parsed =
        ParseRecordOptions(std::vector<std::string>(argv + 1, argv + argc));
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
        std::filesystem::create_directories(options.pngFolder, failure);
        if (failure) {
            std::fprintf(stderr, "orvane-record: cannot make the folder %s: %s\n",
                         options.pngFolder.c_str(), failure.message().c_str());
            return 1;
        }
    }
    // ffmpeg going away must be a failed write, not the end of the recorder.
    ::signal(SIGPIPE, SIG_IGN);

    // Caught before the pipe exists, so that a Ctrl+C right after it is made still removes it.
    StopSignals stop;
    std::string error;
    const std::unique_ptr<RecordingFifo> fifo =
        RecordingFifo::Create(Kor::RecordingPipePath(), error);
    if (!fifo) {
        std::fprintf(stderr, "orvane-record: %s\n", error.c_str());
        return 1;
    }
    ProgressLine progress(stderr, ::isatty(STDERR_FILENO) == 1);
    FrameRecorder recorder(options, ffmpeg, progress, stderr);
    FrameStreamParser parser(recorder);
    std::fprintf(stderr,
                 "orvane-record: waiting for Orvane at %s (set Orvane.RecordToPipe to 1 to "
                 "record; Ctrl+C stops)\n",
                 fifo->Path().c_str());

    const bool received = receive(*fifo, options, parser, recorder, stop, error);
    // A second Ctrl+C while the video is finished ends the program at once.
    stop.Unblock();
    const bool finished = recorder.Finish();
    if (!received) {
        std::fprintf(stderr, "orvane-record: %s\n", error.c_str());
    }
    printSummary(options, parser, recorder);
    return received && finished ? 0 : 1;
}
