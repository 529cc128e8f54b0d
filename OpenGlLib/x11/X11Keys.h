#pragma once
// Translates X11 keysyms to the virtual-key codes of the window procedure.

#include <cstdint>

namespace Kor::X11 {

// keysym: the key's symbol without modifiers (index 0 of its keycode).
uint32_t VirtualKeyFromKeysym(unsigned long keysym);

}  // namespace Kor::X11
