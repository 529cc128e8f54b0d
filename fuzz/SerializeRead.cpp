// Typed reads over arbitrary bytes: counted lists of several element sizes, single values,
// the spline segment list and the stream operations, checking that nothing reads or reserves
// beyond the data and that a failed stream stays failed.
#include "serialize/IOStreamInputStream.h"
#include "serialize/ReadValue.h"
#include "app/SplineParts.h"

#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Kor::serialize::IOStreamInputStream;

struct Interval {
    double begin;
    double end;
};

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

template <class T>
void readList(IOStreamInputStream& stream, std::size_t size) {
    const std::uint64_t start = stream.tell();
    std::vector<T> list;
    const std::uint32_t count = Kor::serialize::readCountedList(stream, list);
    check(list.size() <= count);
    check(list.capacity() * sizeof(T) <= size);
    if (stream.good()) {
        check(list.size() == count);
        check(stream.tell() == start + 4 + count * sizeof(T));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::istringstream bytes(std::string(reinterpret_cast<const char*>(data), size));
    IOStreamInputStream stream(&bytes);

    readList<Interval>(stream, size);
    bool flag = false;
    double offset[3] = {};
    Kor::serialize::readValue(stream, flag);
    Kor::serialize::readValue(stream, offset);
    const bool good = stream.good();
    const std::uint64_t position = good ? stream.tell() : 0;
    std::uint8_t byte = 0;
    check(Kor::serialize::readValue(stream, byte) == (good && position < size));

    check(stream.seek(0) == true);
    readList<std::uint8_t>(stream, size);
    check(stream.seek(size > 0 ? data[0] % (size + 1) : 0));
    readList<double>(stream, size);
    if (!stream.good()) {
        std::uint64_t value = 0;
        check(!Kor::serialize::readValue(stream, value));
        check(stream.remaining() == 0);
    }

    check(stream.seek(0));
    Kor::SplineTrajectory spline;
    const bool installed = Kor::readSplineSegments(stream, spline);
    check(spline.segmentCount * Kor::kStoredSegmentSize <= size);
    check(installed || spline.segmentCount == 0);

    check(stream.seek(0));
    check(stream.remaining() == size);
    check(stream.skip(size / 2) == (size / 2 > 0));
    check(stream.atEnd() == (size / 2 == size));
    return 0;
}
