#include "OpenGlLib/x11/X11Keys.h"

#include <X11/XKBlib.h>
#include <X11/keysym.h>

#include <cstring>

#include "OpenGlLib/WindowMessages.h"

namespace Kor::X11 {

uint32_t VirtualKeyFromKeysym(unsigned long keysym) {
    switch (keysym) {
        case XK_BackSpace:
            return VirtualKey::Back;
        case XK_Tab:
        case XK_ISO_Left_Tab:
            return VirtualKey::Tab;
        case XK_Return:
        case XK_KP_Enter:
            return VirtualKey::Return;
        case XK_space:
            return VirtualKey::Space;
        case XK_End:
            return VirtualKey::End;
        case XK_Home:
            return VirtualKey::Home;
        case XK_Left:
            return VirtualKey::Left;
        case XK_Up:
            return VirtualKey::Up;
        case XK_Right:
            return VirtualKey::Right;
        case XK_Down:
            return VirtualKey::Down;
        case XK_Delete:
            return VirtualKey::Delete;
        case XK_Escape:
            return VirtualKey::Escape;
        case XK_grave:
        case XK_asciitilde:
        case XK_dead_grave:
            return VirtualKey::Grave;
        case XK_Shift_L:
        case XK_Shift_R:
            return VirtualKey::Shift;
        case XK_Control_L:
        case XK_Control_R:
            return VirtualKey::Control;
        case XK_Alt_L:
        case XK_Alt_R:
        case XK_Meta_L:
        case XK_Meta_R:
            return VirtualKey::Menu;
        default:
            break;
    }
    if (keysym >= XK_0 && keysym <= XK_9) {
        return VirtualKey::Digit0 + static_cast<uint32_t>(keysym - XK_0);
    }
    if (keysym >= XK_a && keysym <= XK_z) {
        return VirtualKey::A + static_cast<uint32_t>(keysym - XK_a);
    }
    if (keysym >= XK_A && keysym <= XK_Z) {
        return VirtualKey::A + static_cast<uint32_t>(keysym - XK_A);
    }
    if (keysym >= XK_KP_0 && keysym <= XK_KP_9) {
        return VirtualKey::Numpad0 + static_cast<uint32_t>(keysym - XK_KP_0);
    }
    if (keysym >= XK_F1 && keysym <= XK_F24) {
        return VirtualKey::F1 + static_cast<uint32_t>(keysym - XK_F1);
    }
    if (keysym >= 0x21 && keysym <= 0x7E) {
        return VirtualKey::OemPunctuation;  // the other printable keys
    }
    return VirtualKey::Unknown;
}

unsigned BackquoteKeycode(Display* display) {
    int opcode = 0, event = 0, error = 0;
    int major = XkbMajorVersion, minor = XkbMinorVersion;
    if (!XkbQueryExtension(display, &opcode, &event, &error, &major, &minor)) {
        return 0;
    }
    XkbDescPtr keyboard = XkbGetMap(display, 0, XkbUseCoreKbd);
    if (keyboard == nullptr) {
        return 0;
    }
    unsigned found = 0;
    if (XkbGetNames(display, XkbKeyNamesMask, keyboard) == Success && keyboard->names != nullptr &&
        keyboard->names->keys != nullptr) {
        for (unsigned code = keyboard->min_key_code; code <= keyboard->max_key_code; ++code) {
            if (std::strncmp(keyboard->names->keys[code].name, "TLDE", XkbKeyNameLength) == 0) {
                found = code;
                break;
            }
        }
    }
    XkbFreeKeyboard(keyboard, 0, True);
    return found;
}

uint32_t VirtualKeyOfPress(unsigned keycode, unsigned backquoteKeycode, unsigned long baseKeysym,
                           unsigned long typedKeysym) {
    if ((backquoteKeycode != 0 && keycode == backquoteKeycode) || typedKeysym == XK_grave ||
        typedKeysym == XK_dead_grave) {
        return VirtualKey::Grave;
    }
    return VirtualKeyFromKeysym(baseKeysym);
}

}  // namespace Kor::X11
