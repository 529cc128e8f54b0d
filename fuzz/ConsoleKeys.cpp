// Keys for a window's console, with the command interpreter behind it: three bytes a key
// (code, also outside the table; character; modifier bits), then the console is drawn and its
// texts are laid out with the font atlas.
#include <cstddef>
#include <cstdint>

#include "OpenGlLib/GLConsole.h"
#include "OpenGlLib/GLText.h"
#include "OpenGlLib/GLWindow.h"
#include "fuzz/CommandFuzzing.h"
#include "tests/support/FakeWindowSystem.h"

namespace {

// A window without a display: the console draws through it, GL calls do nothing.
Kor::GLWindow& window() {
    static OrvaneTest::ScopedFakeWindowSystem system;
    static Kor::GLWindow made("ConsoleFuzz", Kor::WindowSize{640, 480});
    return made;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    OrvaneFuzz::setUpOnce();
    Kor::GLWindow& target = window();
    OrvaneFuzz::InputRegistry registry;
    Kor::GLConsole console(&target, [] { return int64_t{750}; });  // the cursor is shown
    console.mVisible = true;
    for (size_t i = 0; i + 3 <= size; i += 3) {
        const auto key = static_cast<Kor::Key>(data[i] % 64 - 8);
        console.OnKey(target, key, static_cast<char>(data[i + 1]), data[i + 2] & 7u);
    }
    console.Draw({640, 240}, {0, 0}, {640, 240});
    for (const Kor::ConsoleText& text : console.Texts({640, 240}, 750)) {
        Kor::LayoutString(text.text, text.position, Kor::EnsureFontAtlas().tex_coords);
    }
    return 0;
}
