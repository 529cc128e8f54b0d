#pragma once
// Typed reads on an InputStream: single values in their in-memory (little-endian) layout, and
// lists stored as an unsigned 32-bit element count followed by the elements.
//
// Once a stream has failed it stays failed: every further read reads nothing, so a reader can
// issue a group of reads and test good() once afterwards.

#include "serialize/InputStream.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <type_traits>
#include <vector>

namespace Kor::serialize {

static_assert(std::endian::native == std::endian::little,
              "stored values are read in their in-memory layout, which is little-endian");

// Counts of lists read with readCountedList stay below this.
inline constexpr std::uint32_t kMaxListCount = 1u << 30;

// Reads sizeof(T) raw bytes into `value`; a short read or an already failed stream puts the
// stream into the failed state. Returns whether the stream is good afterwards.
template <class T>
bool readValue(InputStream& stream, T& value) {
    static_assert(std::is_trivially_copyable_v<T>, "only plain data can be read as raw bytes");
    static_assert(!std::is_same_v<T, bool>, "bool has its own overload");
    if (!stream.good() || !stream.read(&value, sizeof value)) {
        stream.setFailed();
        return false;
    }
    return true;
}

// A stored bool is one byte, 0 false and 1 true. Any other byte of a damaged file reads as
// true: copying it into a bool unchecked would make the bool's value undefined.
inline bool readValue(InputStream& stream, bool& value) {
    std::uint8_t byte = 0;
    if (!readValue(stream, byte)) {
        return false;
    }
    value = byte != 0;
    return true;
}

// Reads a count and then that many elements. A short read of the count, a count of
// kMaxListCount or more, or a short read of an element fails the stream. `list` receives the
// elements read completely, in order; a partly read element is dropped.
//
// The list grows as elements arrive rather than being sized from the count up front, and room
// is reserved only for what the stream can still deliver, so a damaged count never allocates
// beyond the size of the data. Returns the stored count (0 when it could not be read), so
// that a caller can tell a list cut short (list.size() < count) from a complete one.
template <class T>
std::uint32_t readCountedList(InputStream& stream, std::vector<T>& list) {
    static_assert(std::is_trivially_copyable_v<T> && !std::is_same_v<T, bool>,
                  "elements are read as raw bytes");
    list.clear();
    std::uint32_t count = 0;
    if (!readValue(stream, count)) {
        return 0;
    }
    if (count >= kMaxListCount) {
        stream.setFailed();
        return count;
    }
    // An unknown size (a pipe) gets a modest start; the vector grows from there.
    constexpr std::uint64_t kUnknownStart = 4096;
    const std::uint64_t bytesLeft = stream.remaining();
    const std::uint64_t reserve = bytesLeft == InputStream::kUnknownSize
                                      ? std::min<std::uint64_t>(count, kUnknownStart)
                                      : std::min<std::uint64_t>(count, bytesLeft / sizeof(T));
    list.reserve(static_cast<std::size_t>(reserve));
    for (std::uint32_t i = 0; i < count; ++i) {
        T element{};
        if (!readValue(stream, element)) {
            break;
        }
        list.push_back(element);
    }
    return count;
}

}  // namespace Kor::serialize
