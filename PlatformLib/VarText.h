#pragma once
// Text to number as a settings value is read: leading white space skipped, an optional sign
// and the number, whatever follows ignored. No number, or one out of range, gives 0.

#include <string_view>

namespace Kor {

int ParseVarInt(std::string_view text);
float ParseVarFloat(std::string_view text);

}  // namespace Kor
