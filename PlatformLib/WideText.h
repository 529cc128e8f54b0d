#pragma once
// UTF-8 and the UTF-16 of Windows' wide-character calls, for the Windows files of this
// library. Invalid input (bytes that are not UTF-8, unpaired surrogates) becomes U+FFFD.

#include <string>
#include <string_view>

namespace Kor {

std::wstring Utf8ToWide(std::string_view utf8);
std::string WideToUtf8(std::wstring_view wide);

}  // namespace Kor
