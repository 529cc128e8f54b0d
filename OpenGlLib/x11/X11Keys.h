#pragma once
// Translates X11 keys to the virtual-key codes of the window procedure.

#include <cstdint>

typedef struct _XDisplay Display;

namespace Kor::X11 {

// keysym: the key's symbol without modifiers (index 0 of its keycode).
uint32_t VirtualKeyFromKeysym(unsigned long keysym);

// The keycode of the key left of 1 (XKB name TLDE), whatever the layout puts on it; 0 when
// the server does not tell.
unsigned BackquoteKeycode(Display* display);

// The virtual key of a key press: the key left of 1 is the grave key on every layout, and so
// is any key that types a grave, so that the character never reaches a text line; every other
// key goes by its symbol without modifiers.
uint32_t VirtualKeyOfPress(unsigned keycode, unsigned backquoteKeycode, unsigned long baseKeysym,
                           unsigned long typedKeysym);

}  // namespace Kor::X11
