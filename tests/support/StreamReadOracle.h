#pragma once
// The oracle of the settings text conversions: what a classic-locale text stream reads as a
// number from the text, or zero when it reads none.

#include <locale>
#include <sstream>
#include <string>

namespace OrvaneTest {

template <typename T>
T streamRead(const std::string& text) {
    std::istringstream stream(text);
    stream.imbue(std::locale::classic());
    T value{};
    return (stream >> value) ? value : T{};
}

}  // namespace OrvaneTest
