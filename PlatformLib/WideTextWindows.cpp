#include <windows.h>

#include <algorithm>
#include <climits>

#include "PlatformLib/WideText.h"

namespace Kor {

namespace {

// The conversion calls count in int; longer texts are converted in parts that end on a whole
// character.
constexpr size_t kMaxPart = INT_MAX / 4;

}  // namespace

std::wstring Utf8ToWide(std::string_view utf8) {
    std::wstring wide;
    while (!utf8.empty()) {
        size_t length = std::min(utf8.size(), kMaxPart);
        // A character has at most three continuation bytes.
        for (int back = 0; back < 3 && length < utf8.size() &&
                           (static_cast<unsigned char>(utf8[length]) & 0xC0) == 0x80;
             ++back) {
            --length;
        }
        const int bytes = static_cast<int>(length);
        const int units = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), bytes, nullptr, 0);
        const size_t start = wide.size();
        wide.resize(start + static_cast<size_t>(units));
        ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), bytes, wide.data() + start, units);
        utf8.remove_prefix(length);
    }
    return wide;
}

std::string WideToUtf8(std::wstring_view wide) {
    std::string utf8;
    while (!wide.empty()) {
        size_t length = std::min(wide.size(), kMaxPart);
        if (length < wide.size() && wide[length - 1] >= 0xD800 && wide[length - 1] < 0xDC00) {
            --length;  // keep a surrogate pair together
        }
        const int units = static_cast<int>(length);
        const int bytes =
            ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), units, nullptr, 0, nullptr, nullptr);
        const size_t start = utf8.size();
        utf8.resize(start + static_cast<size_t>(bytes));
        ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), units, utf8.data() + start, bytes, nullptr,
                              nullptr);
        wide.remove_prefix(length);
    }
    return utf8;
}

}  // namespace Kor
