// Laying text out into quads, as the overlay does every frame. "baseline" is the obvious loop:
// vectors grown quad by quad and every byte visited; "laidOut" is LayoutString, which reserves
// once and skips the rest of a line that lies beyond the 16-bit vertex range.
#include <benchmark/benchmark.h>

#include <string>

#include "OpenGlLib/GLText.h"
#include "bench/support/RatioMain.h"

namespace {

using namespace Kor;

const std::vector<TexCoord>& cells() {
    static const std::vector<TexCoord> coordinates = ShadeGlyphs(kGlyphBitmap).tex_coords;
    return coordinates;
}

TextQuads layoutBaseline(std::string_view text, const WindowPoint& position,
                         const std::vector<TexCoord>& texCoords) {
    constexpr float du = static_cast<float>(kGlyphCellWidth) / kFontAtlasWidth;
    constexpr float dv = static_cast<float>(kGlyphCellHeight) / kFontAtlasHeight;
    TextQuads quads;
    int64_t penX = position.x;
    int64_t penY = position.y;
    for (char byte : text) {
        const auto code = static_cast<unsigned char>(byte);
        const int64_t l = penX - 1, t = penY - 1, r = penX + 8, b = penY + 13;
        if (code >= 0x20 && code <= 0x7E && l >= -32768 && t >= -32768 && r <= 32767 &&
            b <= 32767) {
            const auto sl = static_cast<GLshort>(l), st = static_cast<GLshort>(t);
            const auto sr = static_cast<GLshort>(r), sb = static_cast<GLshort>(b);
            const float u = texCoords[code].u, v = texCoords[code].v;
            quads.vertices.insert(quads.vertices.end(),
                                  {sl, st, sr, st, sr, sb, sl, st, sr, sb, sl, sb});
            quads.texCoords.insert(quads.texCoords.end(), {u, v, u + du, v, u + du, v + dv, u, v,
                                                           u + du, v + dv, u, v + dv});
        }
        penX += 8;
        if (byte == '\n') {
            penY += 13;
            penX = position.x;
        }
    }
    return quads;
}

// What an open console draws in a frame: the prompt with a typed line and ten completions.
std::string consoleText() {
    std::string text = ">setstring Orvane.caption \"a rather long value being typed\"\n";
    for (int i = 0; i < 10; ++i) {
        text += "Orvane.setting" + std::to_string(i) + "=" + std::string(20, 'v') + "\n";
    }
    return text;
}

// A caption with a very long first line, such as a value printed without a line break.
std::string longLineText() {
    return std::string(static_cast<size_t>(OrvaneBench::benchSize(1000000)), 'x') +
           "\nframe 1234\n";
}

template <TextQuads (*Layout)(std::string_view, const WindowPoint&, const std::vector<TexCoord>&)>
void run(benchmark::State& state, const std::string& text) {
    const std::vector<TexCoord>& coordinates = cells();
    for (auto _ : state) {
        TextQuads quads = Layout(text, WindowPoint{10, 20}, coordinates);
        benchmark::DoNotOptimize(quads.vertices.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}

void consoleFrame_baseline(benchmark::State& state) {
    run<layoutBaseline>(state, consoleText());
}
void consoleFrame_laidOut(benchmark::State& state) {
    run<LayoutString>(state, consoleText());
}
void longLine_baseline(benchmark::State& state) {
    run<layoutBaseline>(state, longLineText());
}
void longLine_laidOut(benchmark::State& state) {
    run<LayoutString>(state, longLineText());
}

}  // namespace

BENCHMARK(consoleFrame_baseline)->Name("consoleFrame/baseline");
BENCHMARK(consoleFrame_laidOut)->Name("consoleFrame/laidOut");
BENCHMARK(longLine_baseline)->Name("longLine/baseline");
BENCHMARK(longLine_laidOut)->Name("longLine/laidOut");
