#include "OpenGlLib/GLMenuItems.h"

#include "OpenGlLib/GLHeaders.h"

#include <algorithm>
#include <limits>

#include "OpenGlLib/GLWindow.h"
#include "PlatformLib/Vars.h"
#include "RuntimeLib/Parser.h"

namespace Kor::GLMenuItems {

namespace {

void setInt(const std::string& variable, int32_t value) {
    SetVar(variable, ValueRef{&value, VarType::Int});
}

// One step of a slider's setting for the wheel's delta, kept within low .. high (reversed
// bounds end at high). Worked out in 64 bits: a setting at an end of the int range steps
// without overflowing.
void stepSetting(const std::string& variable, int32_t deltaY, int64_t low, int64_t high) {
    // A wheel turn of less than 0.2 notches is no step.
    if (deltaY > -2 && deltaY < 2) {
        return;
    }
    int value = 0;
    if (!TryGetInt(variable, value)) {
        return;
    }
    const int64_t step = deltaY > 0 ? -1 : 1;
    const int64_t stepped = std::min(std::max(int64_t{value} + step, low), high);
    setInt(variable, static_cast<int32_t>(stepped));
}

Label valueLabel(const std::string& label, const std::string& value) {
    return {label + ":" + value, kValueColour};
}

Label missingValueLabel(const std::string& label) {
    return {label + ":?", kMissingColour};
}

}  // namespace

void Base::Draw(GLWindow& window, const WindowPoint& position) const {
    const Label label = Shown();
    glColor4f(label.colour.red, label.colour.green, label.colour.blue, label.colour.alpha);
    window.DrawText(label.text, position);
}

Toggle::Toggle(std::string label, std::string variable)
    : mLabel(std::move(label)), mVariable(std::move(variable)) {}

Label Toggle::Shown() const {
    int value = 0;
    if (!TryGetInt(mVariable, value)) {
        return {mLabel, kMissingColour};
    }
    return {mLabel, value != 0 ? kOnColour : kOffColour};
}

void Toggle::Apply(const WindowPoint& /*delta*/) {
    int value = 0;
    if (TryGetInt(mVariable, value)) {
        setInt(mVariable, value != 0 ? 0 : 1);
    }
}

Button::Button(std::string label, std::string command)
    : mLabel(std::move(label)), mCommand(std::move(command)) {}

Label Button::Shown() const {
    return {mLabel, kButtonColour};
}

void Button::Apply(const WindowPoint& /*delta*/) {
    ExecuteLine(mCommand, 0);
}

Slider::Slider(std::string label, std::string variable, int32_t min, int32_t max)
    : mLabel(std::move(label)), mVariable(std::move(variable)), mMin(min), mMax(max) {}

Label Slider::Shown() const {
    int value = 0;
    if (!TryGetInt(mVariable, value)) {
        return missingValueLabel(mLabel);
    }
    return valueLabel(mLabel, std::to_string(value));
}

void Slider::Apply(const WindowPoint& delta) {
    stepSetting(mVariable, delta.y, mMin, mMax);
}

TextSlider::TextSlider(std::string label, std::string variable, std::vector<std::string> options)
    : mLabel(std::move(label)), mVariable(std::move(variable)), mOptions(std::move(options)) {}

Label TextSlider::Shown() const {
    int value = 0;
    if (!TryGetInt(mVariable, value)) {
        return missingValueLabel(mLabel);
    }
    if (value >= 0 && static_cast<size_t>(value) < mOptions.size()) {
        return valueLabel(mLabel, mOptions[static_cast<size_t>(value)]);
    }
    return valueLabel(mLabel, std::to_string(value));
}

void TextSlider::Apply(const WindowPoint& delta) {
    // Without options the range is empty and a step ends at -1, the last index of none.
    const auto last = static_cast<int64_t>(
                          std::min<size_t>(mOptions.size(), std::numeric_limits<int32_t>::max())) -
                      1;
    stepSetting(mVariable, delta.y, 0, last);
}

}  // namespace Kor::GLMenuItems
