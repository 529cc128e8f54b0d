#pragma once
// The nine commands every registry starts with: commandlist, echo, exit, rem, setfloat,
// setint, setstring, toggle, varlist.

#include <cstddef>
#include <string_view>

#include "RuntimeLib/Parser.h"

namespace Kor {

void RegisterBuiltinCommands(CommandRegistry& registry);

// Reads a number as the "%d%n" and "%f%n" scans do: the result is 1 with the characters
// consumed, 0 when no number could be read, -1 when the text ended first (it was empty or
// blank). A number out of range reads as no number.
struct NumberScan {
    int result = -1;
    size_t consumed = 0;
};
NumberScan ScanInt(std::string_view text, int& value);
NumberScan ScanFloat(std::string_view text, float& value);

}  // namespace Kor
