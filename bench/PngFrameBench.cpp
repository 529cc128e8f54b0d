// Writing a recorded 640 x 480 frame of a 3-D view (black, with a few coloured curves) as a
// PNG file: "baseline" turns the frame into upright RGB rows in a buffer of its own and lets
// libpng compress as it does by default; "noCopy" hands libpng the blue-green-red bottom-up
// frame as it is; "recorder" is WritePngFrame, which also asks for fast compression. The
// counter pngBytes is the size of the file.
#include <benchmark/benchmark.h>
#include <png.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/support/RatioMain.h"
#include "tools/orvane-record/PngFrameWriter.h"

namespace {

constexpr uint32_t kWidth = 640;
constexpr uint32_t kHeight = 480;

const std::vector<uint8_t>& viewFrame() {
    static const std::vector<uint8_t> frame = [] {
        std::vector<uint8_t> bytes(size_t{kWidth} * kHeight * 3, 0);
        for (int curve = 0; curve < 4; ++curve) {
            for (int i = 0; i < 4000; ++i) {
                const double t = i / 4000.0 * 6.283185307;
                const int x =
                    static_cast<int>(320 + (120 + 40 * curve) * std::sin(t * (curve + 1)));
                const int y = static_cast<int>(240 + (90 + 30 * curve) * std::cos(t));
                uint8_t* pixel = &bytes[(static_cast<size_t>(y) * kWidth + x) * 3];
                pixel[curve % 3] = 255;
            }
        }
        return bytes;
    }();
    return frame;
}

std::string benchFile() {
    return (std::filesystem::temp_directory_path() /
            ("orvane-png-bench-" + std::to_string(::getpid()) + ".png"))
        .string();
}

void finish(benchmark::State& state, const std::string& path) {
    state.counters["pngBytes"] = static_cast<double>(std::filesystem::file_size(path));
    state.SetItemsProcessed(state.iterations());
    std::filesystem::remove(path);
}

bool writeWithLibpng(const std::string& path, const void* pixels, uint32_t format,
                     png_int_32 rowStride, uint32_t flags) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = kWidth;
    image.height = kHeight;
    image.format = format;
    image.flags = flags;
    return png_image_write_to_file(&image, path.c_str(), 0, pixels, rowStride, nullptr) != 0;
}

void pngFrame_baseline(benchmark::State& state) {
    const std::string path = benchFile();
    const std::vector<uint8_t>& frame = viewFrame();
    for (auto _ : state) {
        std::vector<uint8_t> rgb(frame.size());
        for (uint32_t y = 0; y < kHeight; ++y) {
            const uint8_t* from = &frame[size_t{kHeight - 1 - y} * kWidth * 3];
            uint8_t* to = &rgb[size_t{y} * kWidth * 3];
            for (uint32_t x = 0; x < kWidth; ++x, from += 3, to += 3) {
                to[0] = from[2];
                to[1] = from[1];
                to[2] = from[0];
            }
        }
        benchmark::DoNotOptimize(writeWithLibpng(path, rgb.data(), PNG_FORMAT_RGB, 0, 0));
    }
    finish(state, path);
}

void pngFrame_noCopy(benchmark::State& state) {
    const std::string path = benchFile();
    for (auto _ : state) {
        benchmark::DoNotOptimize(writeWithLibpng(path, viewFrame().data(), PNG_FORMAT_BGR,
                                                 -static_cast<png_int_32>(kWidth * 3), 0));
    }
    finish(state, path);
}

void pngFrame_recorder(benchmark::State& state) {
    const std::string path = benchFile();
    std::string error;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            OrvaneRecord::WritePngFrame(path, kWidth, kHeight, viewFrame().data(), error));
    }
    finish(state, path);
}

}  // namespace

BENCHMARK(pngFrame_baseline)->Name("pngFrame/baseline")->UseRealTime();
BENCHMARK(pngFrame_noCopy)->Name("pngFrame/noCopy")->UseRealTime();
BENCHMARK(pngFrame_recorder)->Name("pngFrame/recorder")->UseRealTime();
