// Recording one 640 x 480 frame: "baseline" allocates, zeroes and frees a frame buffer every
// frame, as the simple recorder does; "reusedBuffer" is RecordFrame, which keeps one buffer
// per stream and zeroes nothing when the window fills the frame. Both read the same fake back
// buffer and write through the same pipe: "recordFrame" to a sink that takes every byte at
// once (the recorder's own cost), "recordFrameThroughFifo" through a real FIFO to a thread
// that drains it (what a recording costs the frame loop).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <thread>
#include <vector>

#include "OpenGlLib/FrameStreamFormat.h"
#include "OpenGlLib/GLWindow.h"
#include "OpenGlLib/GLWindowInternals.h"
#include "OpenGlLib/PipeOutput.h"
#include "OpenGlLib/PipeTransport.h"
#include "bench/support/RatioMain.h"
#include "tests/support/FakeWindowSystem.h"

namespace {

using namespace Kor;

constexpr int32_t kWidth = 640;
constexpr int32_t kHeight = 480;

// Stands in for glReadPixels: every byte of the rectangle is written.
void fillFrame(int32_t width, int32_t height, int32_t rowPixels, uint8_t* pixels) {
    for (int32_t y = 0; y < height; ++y) {
        std::memset(pixels + static_cast<size_t>(y) * rowPixels * 3, 0x40 + (y & 15),
                    static_cast<size_t>(width) * 3);
    }
}

// The frame as the simple recorder sends it: a buffer of its own, zeroed, read, written, freed.
void sendFreshFrame(PipeTransport& transport, PipeHandle handle) {
    std::vector<uint8_t> frame(FrameBytes(kWidth, kHeight), 0);
    fillFrame(kWidth, kHeight, kWidth, frame.data());
    const uint8_t* data = frame.data();
    size_t left = frame.size();
    while (left > 0) {
        const PipeWriteResult result = transport.Write(handle, data, left);
        if (result.status == PipeWriteStatus::Failed) {
            return;
        }
        data += result.written;
        left -= result.written;
    }
}

// A window recording to whatever transport is installed.
struct RecordingWindow {
    OrvaneTest::ScopedFakeWindowSystem system;
    GLWindow window{"Bench", WindowSize{kWidth, kHeight}};
    RecordingWindow() {
        window.mWidth = kWidth;
        window.mHeight = kHeight;
        *window.mInternals->mRecordToPipe = 1;
    }
    ~RecordingWindow() { ClosePipe(); }
};

void setItems(benchmark::State& state) {
    state.SetItemsProcessed(state.iterations());
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(FrameBytes(kWidth, kHeight)));
}

// Takes every byte at once and keeps none of them.
class SinkTransport final : public PipeTransport {
public:
    PipeOpenResult Open() override { return {PipeOpenStatus::Opened, 1, 0}; }
    bool WaitUntilFree(uint32_t) override { return true; }
    uint32_t SetWriteMode(PipeHandle) override { return 0; }
    PipeWriteResult Write(PipeHandle, const uint8_t* data, size_t size) override {
        benchmark::DoNotOptimize(data[size - 1]);
        return {PipeWriteStatus::Wrote, size, 0};
    }
    void Close(PipeHandle) override {}
};

void recordFrame_baseline(benchmark::State& state) {
    SinkTransport sink;
    for (auto _ : state) {
        sendFreshFrame(sink, 1);
    }
    setItems(state);
}

void recordFrame_reusedBuffer(benchmark::State& state) {
    SinkTransport sink;
    SetPipeTransport(&sink);
    {
        RecordingWindow recording;
        for (auto _ : state) {
            RecordFrame(*recording.window.mInternals, fillFrame);
        }
    }
    SetPipeTransport(nullptr);
    setItems(state);
}

// A FIFO in the temporary folder with a thread that reads whatever comes. A writer of its own
// keeps the reads waiting between the benchmark's connections.
class DrainedFifo {
public:
    DrainedFifo() {
        mPath = (std::filesystem::temp_directory_path() /
                 ("orvane-bench-" + std::to_string(::getpid())))
                    .string();
        ::mkfifo(mPath.c_str(), 0600);
        mReader = ::open(mPath.c_str(), O_RDONLY | O_NONBLOCK);
        mKeeper = ::open(mPath.c_str(), O_WRONLY);
        ::fcntl(mReader, F_SETFL, 0);
        transport = MakeSystemPipeTransport(mPath);
        mThread = std::thread([this] {
            std::vector<char> buffer(1 << 16);
            while (::read(mReader, buffer.data(), buffer.size()) > 0) {
            }
        });
    }
    // After the benchmark's own writer is closed.
    ~DrainedFifo() {
        ::close(mKeeper);
        mThread.join();
        ::close(mReader);
        ::unlink(mPath.c_str());
    }
    std::unique_ptr<PipeTransport> transport;

private:
    std::string mPath;
    int mReader = -1;
    int mKeeper = -1;
    std::thread mThread;
};

void recordFrameThroughFifo_baseline(benchmark::State& state) {
    DrainedFifo fifo;
    const PipeOpenResult opened = fifo.transport->Open();
    fifo.transport->SetWriteMode(opened.handle);
    for (auto _ : state) {
        sendFreshFrame(*fifo.transport, opened.handle);
    }
    fifo.transport->Close(opened.handle);
    setItems(state);
}

void recordFrameThroughFifo_reusedBuffer(benchmark::State& state) {
    DrainedFifo fifo;
    SetPipeTransport(fifo.transport.get());
    {
        RecordingWindow recording;
        for (auto _ : state) {
            RecordFrame(*recording.window.mInternals, fillFrame);
        }
    }
    SetPipeTransport(nullptr);
    setItems(state);
}

}  // namespace

BENCHMARK(recordFrame_baseline)->Name("recordFrame/baseline");
BENCHMARK(recordFrame_reusedBuffer)->Name("recordFrame/reusedBuffer");
BENCHMARK(recordFrameThroughFifo_baseline)->Name("recordFrameThroughFifo/baseline")->UseRealTime();
BENCHMARK(recordFrameThroughFifo_reusedBuffer)
    ->Name("recordFrameThroughFifo/reusedBuffer")
    ->UseRealTime();
