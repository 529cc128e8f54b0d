#pragma once
// Lists of millions of samples: reserved once and backed by huge pages where the system has
// them, so that filling them costs a fault per 2 MiB instead of per 4 KiB.

#include <cstddef>
#include <vector>

#include "PlatformLib/Process.h"

namespace Kor {

template <typename T>
void reserveLarge(std::vector<T>& list, std::size_t count) {
    list.reserve(count);
    AdviseHugePages(list.data(), list.capacity() * sizeof(T));
}

}  // namespace Kor
