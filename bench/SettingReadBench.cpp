// Reading a setting at its use site: "baseline" looks the name up in the registry under its
// lock on every read (TryGetInt), "binding" reads through a VarBinding connected once.
#include <benchmark/benchmark.h>

#include <string>

#include "PlatformLib/InMemoryVarsManager.h"
#include "PlatformLib/Vars.h"
#include "bench/support/RatioMain.h"

namespace {

constexpr int kReads = 1000;

void fillRegistry() {
    static const bool filled = [] {
        Kor::InstallInMemoryVarsManager();
        // A registry of realistic size: logging, window and menu settings.
        for (int i = 0; i < 200; ++i) {
            int value = i;
            Kor::SetVar("menu.item" + std::to_string(i), Kor::ValueRef{&value, Kor::VarType::Int});
        }
        int vsync = 1;
        Kor::SetVar("glwindow_vsync", Kor::ValueRef{&vsync, Kor::VarType::Int});
        return true;
    }();
    (void)filled;
}

void settingRead_baseline(benchmark::State& state) {
    fillRegistry();
    for (auto _ : state) {
        int sum = 0;
        for (int i = 0; i < kReads; ++i) {
            int value = 0;
            Kor::TryGetInt("glwindow_vsync", value);
            sum += value;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * kReads);
}

void settingRead_binding(benchmark::State& state) {
    fillRegistry();
    static Kor::VarBinding<int> vsync("glwindow_vsync", 0);
    for (auto _ : state) {
        int sum = 0;
        for (int i = 0; i < kReads; ++i) {
            // Keeps the read in the loop, as at a use site between other work.
            benchmark::ClobberMemory();
            sum += vsync.Value();
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * kReads);
}

}  // namespace

BENCHMARK(settingRead_baseline)->Name("settingRead/baseline");
BENCHMARK(settingRead_binding)->Name("settingRead/binding");
