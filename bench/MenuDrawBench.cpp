// Drawing a window's menu in a frame, on a private X server with Mesa, for a menu whose script
// made many more items than the window can show (10^5 toggles and buttons): "baseline" draws
// every item where the layout puts it, as the obvious loop does, and leaves the clipping to GL;
// "visibleRows" is GLMenu::Draw, which stops after the last row that reaches into the window.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "OpenGlLib/GLHeaders.h"
#include "OpenGlLib/GLMenu.h"
#include "OpenGlLib/GLMenuLayout.h"
#include "OpenGlLib/GLWindow.h"
#include "PlatformLib/InMemoryVarsManager.h"
#include "PlatformLib/Vars.h"
#include "RuntimeLib/Parser.h"
#include "bench/support/RatioMain.h"
#include "tests/support/Xvfb.h"

namespace {

using namespace Kor;

struct Scene {
    std::unique_ptr<OrvaneTest::XvfbServer> server;
    std::unique_ptr<GLWindow> window;

    Scene() {
        if (std::getenv("DISPLAY") == nullptr) {
            server = std::make_unique<OrvaneTest::XvfbServer>();
            ::setenv("DISPLAY", server->display().c_str(), 1);
        }
        InstallInMemoryVarsManager();
        int on = 1;
        SetVar("bench.flag", ValueRef{&on, VarType::Int});
        window = std::make_unique<GLWindow>("MenuBench", WindowSize{640, 480});
        const int64_t items = OrvaneBench::benchSize(100000);
        for (int64_t i = 0; i < items; ++i) {
            const std::string label = std::to_string(i);
            ExecuteLine(i % 2 == 0 ? "MenuBenchMenu.AddToggle T" + label + " bench.flag"
                                   : "MenuBenchMenu.AddButton B" + label + " rem",
                        0);
        }
        // The context stays current for every run; the overlay's projection is set once.
        window->BeginFrame();
        window->SetOverlayProjection(1.0f);
    }
};

Scene& scene() {
    static Scene s;
    return s;
}

void drawEveryItem(const GLMenu& menu) {
    const MenuGrid grid({menu.mWindow->mWidth, menu.mWindow->mHeight});
    for (size_t i = 0; i < menu.mItems.size(); ++i) {
        menu.mItems[i]->Draw(*menu.mWindow, grid.TextPosition(i));
    }
}

void drawVisibleRows(const GLMenu& menu) {
    menu.Draw();
}

template <void (*Draw)(const GLMenu&)>
void run(benchmark::State& state) {
    GLMenu& menu = *scene().window->mMenu;
    for (auto _ : state) {
        Draw(menu);
        glFinish();
    }
    state.SetItemsProcessed(state.iterations());
}

}  // namespace

BENCHMARK(run<drawEveryItem>)
    ->Name("bigMenu/baseline")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(run<drawVisibleRows>)
    ->Name("bigMenu/visibleRows")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
