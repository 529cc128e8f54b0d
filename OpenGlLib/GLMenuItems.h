#pragma once
// The items of a window's menu. Each is bound to an integer setting, which it reads by name
// every time (it never creates one), or to a command line. Label says what an item shows and
// in which colour, so it is tested without a display; Draw puts that on the screen.
//
//   Toggle      label                      click: flips the setting between 0 and 1
//   Button      label                      click: runs the command line
//   Slider      label ":" value            wheel: steps the setting by one within min .. max
//   TextSlider  label ":" option of value  wheel: steps the setting within 0 .. options - 1

#include <cstdint>
#include <string>
#include <vector>

#include "OpenGlLib/GLWindowEvents.h"

namespace Kor {

namespace GLMenuItems {

struct Colour {
    float red = 1.0f;
    float green = 1.0f;
    float blue = 1.0f;
    float alpha = 1.0f;
    friend bool operator==(const Colour&, const Colour&) = default;
};

// The colour table: a toggle shows its state, a slider that it has a value, grey that the
// setting does not exist (yet).
inline constexpr Colour kOnColour{0.5f, 1.0f, 0.5f, 1.0f};
inline constexpr Colour kOffColour{1.0f, 0.5f, 0.5f, 1.0f};
inline constexpr Colour kMissingColour{0.5f, 0.5f, 0.5f, 1.0f};
inline constexpr Colour kButtonColour{1.0f, 1.0f, 1.0f, 1.0f};
inline constexpr Colour kValueColour{1.0f, 1.0f, 0.5f, 1.0f};

struct Label {
    std::string text;
    Colour colour;
    friend bool operator==(const Label&, const Label&) = default;
};

class Base {
public:
    virtual ~Base() = default;
    virtual Label Shown() const = 0;
    // delta is (0, 0) for a click and (0, notches x -10) for the wheel.
    virtual void Apply(const WindowPoint& delta) = 0;
    // Shown() at position (top-left of the text) with the window's font.
    void Draw(GLWindow& window, const WindowPoint& position) const;
};

class Toggle final : public Base {
public:
    Toggle(std::string label, std::string variable);
    Label Shown() const override;
    void Apply(const WindowPoint& delta) override;

    std::string mLabel;
    std::string mVariable;
};

class Button final : public Base {
public:
    Button(std::string label, std::string command);
    Label Shown() const override;
    void Apply(const WindowPoint& delta) override;

    std::string mLabel;
    std::string mCommand;
};

// Reversed bounds (min above max) end every step at max.
class Slider final : public Base {
public:
    Slider(std::string label, std::string variable, int32_t min, int32_t max);
    Label Shown() const override;
    void Apply(const WindowPoint& delta) override;

    std::string mLabel;
    std::string mVariable;
    int32_t mMin;
    int32_t mMax;
};

// A value outside the options is shown as its number.
class TextSlider final : public Base {
public:
    TextSlider(std::string label, std::string variable, std::vector<std::string> options);
    Label Shown() const override;
    void Apply(const WindowPoint& delta) override;

    std::string mLabel;
    std::string mVariable;
    std::vector<std::string> mOptions;
};

}  // namespace GLMenuItems

}  // namespace Kor
