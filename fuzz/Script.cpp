// A script file: blocks, comment blocks, every built-in command but a real "exit", and the
// commands of a window's menu ("FuzzMenu.AddToggle" and the others). Each input fills a fresh
// menu, whose items are then clicked, turned with the wheel and drawn.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <sstream>
#include <string>

#include "OpenGlLib/GLMenu.h"
#include "OpenGlLib/GLMenuLayout.h"
#include "OpenGlLib/GLText.h"
#include "OpenGlLib/GLWindow.h"
#include "fuzz/CommandFuzzing.h"
#include "tests/support/FakeWindowSystem.h"

namespace {

// A window without a display, for the menu's size and drawing; GL calls do nothing.
Kor::GLWindow& window() {
    static OrvaneTest::ScopedFakeWindowSystem system;
    static Kor::GLWindow made("Fuzz", Kor::WindowSize{400, 300});
    return made;
}

// Clicks and wheel turns over the first items that show, then draws them all.
void operate(Kor::GLWindow& target) {
    Kor::GLMenu& menu = *target.mMenu;
    const Kor::MenuGrid grid({target.mWidth, target.mHeight});
    const size_t visible = grid.VisibleCount(menu.mItems.size());
    for (size_t i = 0; i < visible && i < 32; ++i) {
        const Kor::WindowPoint text = grid.TextPosition(i);
        const Kor::WindowPoint inside{text.x, text.y + 5};
        menu.OnMouseButton(target, inside, true, Kor::MouseButton::Left);
        menu.OnMouseButton(target, inside, false, Kor::MouseButton::Left);
        menu.OnMouseWheel(target, inside, 1.0f);
        menu.OnMouseWheel(target, inside, -0.5f);
    }
    menu.Draw();
    // Buttons may have added items; what Draw wrote is laid out with the font.
    for (size_t i = 0; i < grid.VisibleCount(menu.mItems.size()); ++i) {
        Kor::LayoutString(menu.mItems[i]->Shown().text, grid.TextPosition(i),
                          Kor::EnsureFontAtlas().tex_coords);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    OrvaneFuzz::setUpOnce();
    Kor::GLWindow& target = window();
    OrvaneFuzz::InputRegistry registry;
    // The new menu takes the commands over; the old one leaves, taking nothing with it.
    target.mMenu = std::make_unique<Kor::GLMenu>("FuzzMenu", &target);
    std::istringstream script(std::string(reinterpret_cast<const char*>(data), size));
    Kor::ParseScript(script, "fuzz.cfg");
    operate(target);
    return 0;
}
