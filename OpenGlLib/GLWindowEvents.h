#pragma once
// Event types of a window and the interface through which its handlers receive them.

#include <cstdint>

namespace Kor {

class GLWindow;

// Client-area pixels, origin at the top-left corner, y growing downward.
struct WindowPoint {
    int32_t x = 0;
    int32_t y = 0;
    friend bool operator==(const WindowPoint&, const WindowPoint&) = default;
};

struct WindowSize {
    int32_t width = 0;
    int32_t height = 0;
    friend bool operator==(const WindowSize&, const WindowSize&) = default;
};

enum class MouseButton : int32_t { Left = 0, Middle = 1, Right = 2 };

// Bits of the modifier word passed to OnKey, combined by OR.
struct KeyModifier {
    static constexpr unsigned Shift = 1;
    static constexpr unsigned Alt = 2;
    static constexpr unsigned Control = 4;
};

enum class Key : int32_t {
    A = 0,
    B,
    C,
    D,
    E,
    F,
    G,
    H,
    I,
    J,
    K,
    L,
    M,
    N,
    O,
    P,
    Q,
    R,
    S,
    T,
    U,
    V,
    W,
    X,
    Y,
    Z,
    Digit0 = 26,
    Digit1,
    Digit2,
    Digit3,
    Digit4,
    Digit5,
    Digit6,
    Digit7,
    Digit8,
    Digit9,
    Space = 36,
    Enter = 37,
    Up = 38,
    Down = 39,
    Left = 40,
    Right = 41,
    Backquote = 42,
    Backspace = 43,
    Delete = 44,
    Tab = 45,
    Home = 46,
    End = 47,
    Other = 48,  // produced a printable character but has no code of its own
};

// Each On* returns true when it consumed the event, which hides it from later handlers.
struct GLWindowEventHandler {
    virtual ~GLWindowEventHandler() = default;
    virtual bool OnMouseButton(GLWindow& /*window*/, const WindowPoint& /*position*/, bool /*down*/,
                               MouseButton /*button*/) {
        return false;
    }
    virtual bool OnMouseMove(GLWindow& /*window*/, const WindowPoint& /*position*/,
                             const WindowPoint& /*previous*/, bool /*control*/, bool /*left*/,
                             bool /*middle*/, bool /*right*/, bool /*shift*/) {
        return false;
    }
    virtual bool OnMouseWheel(GLWindow& /*window*/, const WindowPoint& /*position*/,
                              float /*notches*/) {
        return false;
    }
    virtual bool OnKey(GLWindow& /*window*/, Key /*key*/, char /*character*/,
                       unsigned /*modifiers*/) {
        return false;
    }
    virtual void OnClose(GLWindow& /*window*/) {}
};

}  // namespace Kor
