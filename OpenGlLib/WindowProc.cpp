// The window procedure: messages of one window become calls on its handlers.
#include <optional>

#include "OpenGlLib/GLWindow.h"
#include "OpenGlLib/GLWindowInternals.h"

namespace Kor {

namespace {

// Offers an event to the handlers in order until one consumes it. Indexing, not iterators,
// so that a handler may add handlers while being called.
template <typename Call>
void offer(GLWindow& window, Call call) {
    for (size_t i = 0; i < window.mHandlers.size(); ++i) {
        if (call(*window.mHandlers[i])) {
            return;
        }
    }
}

std::optional<Key> keyOf(uint32_t virtualKey) {
    switch (virtualKey) {
        case VirtualKey::Back:
            return Key::Backspace;
        case VirtualKey::Tab:
            return Key::Tab;
        case VirtualKey::Return:
            return Key::Enter;
        case VirtualKey::Space:
            return Key::Space;
        case VirtualKey::End:
            return Key::End;
        case VirtualKey::Home:
            return Key::Home;
        case VirtualKey::Left:
            return Key::Left;
        case VirtualKey::Up:
            return Key::Up;
        case VirtualKey::Right:
            return Key::Right;
        case VirtualKey::Down:
            return Key::Down;
        case VirtualKey::Delete:
            return Key::Delete;
        case VirtualKey::Grave:
            return Key::Backquote;
        default:
            break;
    }
    if (virtualKey >= VirtualKey::Digit0 && virtualKey <= VirtualKey::Digit0 + 9) {
        return static_cast<Key>(static_cast<int32_t>(Key::Digit0) +
                                static_cast<int32_t>(virtualKey - VirtualKey::Digit0));
    }
    if (virtualKey >= VirtualKey::A && virtualKey <= VirtualKey::A + 25) {
        return static_cast<Key>(virtualKey - VirtualKey::A);
    }
    return std::nullopt;
}

}  // namespace

void GLWindowInternals::HandleKeyDown(WParam virtualKey) {
    const auto vk = static_cast<uint32_t>(virtualKey);
    const KeyText text = GetWindowSystem().TranslateKey(mhwnd, vk);
    const char character =
        text.count == 1 && text.character >= 0x20 && text.character <= 0x7E ? text.character : 0;
    unsigned modifiers = 0;
    modifiers |= text.shift ? KeyModifier::Shift : 0;
    modifiers |= text.control ? KeyModifier::Control : 0;
    modifiers |= text.alt ? KeyModifier::Alt : 0;
    std::optional<Key> key = keyOf(vk);
    if (!key) {
        if (character == 0) {
            return;
        }
        key = Key::Other;
    }
    offer(*mWindow, [&](GLWindowEventHandler& handler) {
        return handler.OnKey(*mWindow, *key, character, modifiers);
    });
}

void GLWindowInternals::StartCaptionDrag(LParam l) {
    WindowSystem& system = GetWindowSystem();
    system.RaiseWindow(mhwnd);
    mDragAnchor = {PointParamX(l), PointParamY(l)};
    const ScreenRect rect = system.WindowRect(mhwnd);
    mDragOrigin = {rect.left, rect.top};
    mDragging = true;
    system.CapturePointer(mhwnd);
}

void GLWindowInternals::DragTo(WindowPoint cursor) {
    GetWindowSystem().MoveWindow(mhwnd, cursor.x + (mDragOrigin.x - mDragAnchor.x),
                                 cursor.y + (mDragOrigin.y - mDragAnchor.y));
}

LResult GLWindowInternals::WindowProc(NativeWindow hwnd, uint32_t message, WParam w, LParam l) {
    WindowSystem& system = GetWindowSystem();
    // The sender never waits on the frame loop; the message is handled all the same.
    system.ReplyToSentMessage(1);

    auto passOn = [&] {
        return DefaultProc ? DefaultProc(hwnd, message, w, l)
                           : system.DefaultWindowProc(hwnd, message, w, l);
    };
    GLWindowInternals* self = system.UserData(hwnd);
    if (self == nullptr) {
        return passOn();  // arrived while the window was being created
    }
    GLWindow& window = *self->mWindow;
    const WindowPoint position{PointParamX(l), PointParamY(l)};

    auto button = [&](bool down, MouseButton which) {
        offer(window, [&](GLWindowEventHandler& handler) {
            return handler.OnMouseButton(window, position, down, which);
        });
        return LResult{0};
    };
    auto endDrag = [&] {
        self->mDragging = false;
        system.ReleasePointer();
        return LResult{0};
    };

    switch (message) {
        case Msg::LButtonDown:
            return button(true, MouseButton::Left);
        case Msg::MButtonDown:
            return button(true, MouseButton::Middle);
        case Msg::RButtonDown:
            return button(true, MouseButton::Right);
        case Msg::LButtonUp:
            return self->mDragging ? endDrag() : button(false, MouseButton::Left);
        case Msg::MButtonUp:
            return button(false, MouseButton::Middle);
        case Msg::RButtonUp:
            return button(false, MouseButton::Right);
        case Msg::MouseMove: {
            if (self->mDragging) {
                self->DragTo(system.CursorPosition());
                return 0;
            }
            const WindowPoint previous = self->mLastMouse;
            self->mLastMouse = position;
            const bool control = (w & MouseKeys::Control) != 0;
            const bool left = (w & MouseKeys::Left) != 0;
            const bool middle = (w & MouseKeys::Middle) != 0;
            const bool right = (w & MouseKeys::Right) != 0;
            const bool shift = (w & MouseKeys::Shift) != 0;
            offer(window, [&](GLWindowEventHandler& handler) {
                return handler.OnMouseMove(window, position, previous, control, left, middle, right,
                                           shift);
            });
            return 0;
        }
        case Msg::MouseWheel: {
            // l holds screen coordinates; the system knows where the client area is.
            const WindowPoint at = system.ScreenToClient(hwnd, position);
            const auto notches = static_cast<float>(WheelParamDelta(w) / double{WheelDelta});
            offer(window, [&](GLWindowEventHandler& handler) {
                return handler.OnMouseWheel(window, at, notches);
            });
            return 0;
        }
        case Msg::KeyDown:
            self->HandleKeyDown(w);
            return 0;
        case Msg::Close:
            for (size_t i = 0; i < window.mHandlers.size(); ++i) {
                window.mHandlers[i]->OnClose(window);
            }
            system.DestroyNativeWindow(hwnd);
            window.mIsOpen = false;
            return 0;
        case Msg::WindowPosChanged: {
            const ScreenRect client = system.ClientRect(hwnd);
            window.mWidth = client.right;
            window.mHeight = client.bottom;
            return 0;
        }
        case Msg::NcLButtonDown:
            if (w == HitCaption) {
                self->StartCaptionDrag(l);
                return 0;
            }
            break;
        case Msg::NcMouseMove:
            if (self->mDragging) {
                self->DragTo(position);
                return 0;
            }
            break;
        case Msg::NcLButtonUp:
            if (self->mDragging) {
                return endDrag();
            }
            break;
        case Msg::SysCommand:
            if ((w & 0xFFF0) == SysCommandMove) {
                return 0;  // moving is done by the caption drag
            }
            break;
        default:
            break;
    }
    return passOn();
}

}  // namespace Kor
