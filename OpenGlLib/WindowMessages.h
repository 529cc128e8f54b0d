#pragma once
// The messages of the window procedure and the packing of their parameters. A backend turns
// its own events into these, so the procedure itself is the same on every system.

#include <cstdint>

namespace Kor {

using NativeWindow = uintptr_t;  // 0 = no window
using WParam = uintptr_t;
using LParam = intptr_t;
using LResult = intptr_t;

struct WindowMessage {
    NativeWindow window = 0;
    uint32_t message = 0;
    WParam w = 0;
    LParam l = 0;
};

namespace Msg {
constexpr uint32_t Close = 0x0010;
constexpr uint32_t WindowPosChanged = 0x0047;
constexpr uint32_t NcMouseMove = 0x00A0;
constexpr uint32_t NcLButtonDown = 0x00A1;
constexpr uint32_t NcLButtonUp = 0x00A2;
constexpr uint32_t KeyDown = 0x0100;
constexpr uint32_t SysKeyDown = 0x0104;  // key down while alt is held
constexpr uint32_t SysCommand = 0x0112;
constexpr uint32_t MouseMove = 0x0200;
constexpr uint32_t LButtonDown = 0x0201;
constexpr uint32_t LButtonUp = 0x0202;
constexpr uint32_t RButtonDown = 0x0204;
constexpr uint32_t RButtonUp = 0x0205;
constexpr uint32_t MButtonDown = 0x0207;
constexpr uint32_t MButtonUp = 0x0208;
constexpr uint32_t MouseWheel = 0x020A;
}  // namespace Msg

constexpr WParam HitCaption = 2;  // w of NcLButtonDown over the caption
constexpr WParam SysCommandMove = 0xF010;
constexpr int32_t WheelDelta = 120;  // wheel units per notch

// Key-state bits in w of pointer messages.
namespace MouseKeys {
constexpr WParam Left = 0x0001;
constexpr WParam Right = 0x0002;
constexpr WParam Shift = 0x0004;
constexpr WParam Control = 0x0008;
constexpr WParam Middle = 0x0010;
}  // namespace MouseKeys

// Virtual-key codes in w of key-down messages.
namespace VirtualKey {
constexpr uint32_t Back = 0x08;
constexpr uint32_t Tab = 0x09;
constexpr uint32_t Return = 0x0D;
constexpr uint32_t Shift = 0x10;
constexpr uint32_t Control = 0x11;
constexpr uint32_t Menu = 0x12;  // alt
constexpr uint32_t Escape = 0x1B;
constexpr uint32_t Space = 0x20;
constexpr uint32_t End = 0x23;
constexpr uint32_t Home = 0x24;
constexpr uint32_t Left = 0x25;
constexpr uint32_t Up = 0x26;
constexpr uint32_t Right = 0x27;
constexpr uint32_t Down = 0x28;
constexpr uint32_t Delete = 0x2E;
constexpr uint32_t Digit0 = 0x30;
constexpr uint32_t A = 0x41;
constexpr uint32_t Numpad0 = 0x60;
constexpr uint32_t F1 = 0x70;
constexpr uint32_t OemPunctuation = 0xBA;  // any punctuation key other than the grave key
constexpr uint32_t Grave = 0xC0;
constexpr uint32_t Unknown = 0xFF;
}  // namespace VirtualKey

// Two signed 16-bit coordinates in the low and high halves, as pointer messages carry them.
constexpr LParam PointParam(int32_t x, int32_t y) {
    return static_cast<LParam>(static_cast<uint32_t>(static_cast<uint16_t>(x)) |
                               (static_cast<uint32_t>(static_cast<uint16_t>(y)) << 16));
}
constexpr int32_t PointParamX(LParam l) {
    return static_cast<int16_t>(static_cast<uint16_t>(l & 0xFFFF));
}
constexpr int32_t PointParamY(LParam l) {
    return static_cast<int16_t>(static_cast<uint16_t>((l >> 16) & 0xFFFF));
}

// Wheel movement in wheel units (signed 16 bits) in the high half, key-state bits below.
constexpr WParam WheelParam(int32_t delta, WParam keys = 0) {
    return (static_cast<WParam>(static_cast<uint16_t>(delta)) << 16) | (keys & 0xFFFF);
}
constexpr int32_t WheelParamDelta(WParam w) {
    return static_cast<int16_t>(static_cast<uint16_t>((w >> 16) & 0xFFFF));
}

}  // namespace Kor
