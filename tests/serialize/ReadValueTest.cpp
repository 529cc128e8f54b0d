#include "serialize/ReadValue.h"

#include "serialize/IOStreamInputStream.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Kor::serialize::IOStreamInputStream;
using Kor::serialize::kMaxListCount;
using Kor::serialize::readCountedList;
using Kor::serialize::readValue;

struct Interval {
    double begin;
    double end;
};

template <class T>
std::string bytesOf(const T& value) {
    std::string bytes(sizeof value, '\0');
    std::memcpy(bytes.data(), &value, sizeof value);
    return bytes;
}

std::string countBytes(std::uint32_t count) {
    return bytesOf(count);
}

// Serves bytes one at a time without seeking, like a pipe.
class PipeLikeBuffer : public std::streambuf {
public:
    explicit PipeLikeBuffer(std::string data) : mData(std::move(data)) {}

protected:
    int_type underflow() override {
        if (mNext == mData.size()) {
            return traits_type::eof();
        }
        setg(&mData[mNext], &mData[mNext], &mData[mNext] + 1);
        ++mNext;
        return traits_type::to_int_type(*gptr());
    }

private:
    std::string mData;
    std::size_t mNext = 0;
};

TEST(ReadValue, ReadsLittleEndianValuesAndStaysFailedAfterAShortRead) {
    std::istringstream data(std::string("\x01\x02\x03\x04", 4) + bytesOf(2.5) +
                            std::string("\x07\x08", 2) + bytesOf(std::uint16_t{9}));
    IOStreamInputStream stream(&data);
    std::uint32_t u = 0;
    double d = 0;
    std::uint64_t cut = 0;
    EXPECT_TRUE(readValue(stream, u));
    EXPECT_EQ(u, 0x04030201u);
    EXPECT_TRUE(readValue(stream, d));
    EXPECT_EQ(d, 2.5);
    EXPECT_FALSE(readValue(stream, cut));
    EXPECT_FALSE(stream.good());

    // The two bytes that follow would make a whole uint16; a failed stream reads nothing.
    ASSERT_TRUE(stream.seek(14));
    stream.setFailed();
    std::uint16_t later = 0;
    EXPECT_FALSE(readValue(stream, later));
    EXPECT_EQ(later, 0);
}

TEST(ReadValue, AnyNonzeroByteIsTrue) {
    std::istringstream data(std::string("\x00\x01\x02\xff", 4));
    IOStreamInputStream stream(&data);
    bool flags[4] = {true, false, false, false};
    for (bool& flag : flags) {
        EXPECT_TRUE(readValue(stream, flag));
    }
    EXPECT_FALSE(flags[0]);
    EXPECT_TRUE(flags[1]);
    EXPECT_TRUE(flags[2]);
    EXPECT_TRUE(flags[3]);
    bool past = true;
    EXPECT_FALSE(readValue(stream, past));
    EXPECT_TRUE(past);
}

TEST(ReadCountedList, ReadsCompleteListsAndLeavesTheRest) {
    std::istringstream data(countBytes(2) + bytesOf(Interval{0, 1}) + bytesOf(Interval{2, 3.5}) +
                            "tail");
    IOStreamInputStream stream(&data);
    std::vector<Interval> list = {{9, 9}};
    EXPECT_EQ(readCountedList(stream, list), 2u);
    EXPECT_TRUE(stream.good());
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[1].begin, 2);
    EXPECT_EQ(list[1].end, 3.5);
    char tail[4];
    ASSERT_TRUE(stream.read(tail, 4));
    EXPECT_EQ(std::string(tail, 4), "tail");

    std::istringstream empty(countBytes(0));
    IOStreamInputStream emptyStream(&empty);
    EXPECT_EQ(readCountedList(emptyStream, list), 0u);
    EXPECT_TRUE(emptyStream.good());
    EXPECT_TRUE(list.empty());
}

TEST(ReadCountedList, CountAtTheLimitFailsWithoutReading) {
    for (std::uint32_t count : {kMaxListCount, kMaxListCount + 1, UINT32_MAX}) {
        std::istringstream data(countBytes(count) + bytesOf(1.0));
        IOStreamInputStream stream(&data);
        std::vector<double> list;
        EXPECT_EQ(readCountedList(stream, list), count);
        EXPECT_FALSE(stream.good());
        EXPECT_TRUE(list.empty());
    }
}

TEST(ReadCountedList, CountCutShortFails) {
    std::istringstream data(std::string("\x02\x00", 2));
    IOStreamInputStream stream(&data);
    std::vector<double> list;
    EXPECT_EQ(readCountedList(stream, list), 0u);
    EXPECT_FALSE(stream.good());
}

// A damaged count claiming far more elements than the data holds: the list keeps the whole
// elements that were there, drops the partial one, and no room is reserved for the rest.
TEST(ReadCountedList, CountBeyondTheDataAllocatesOnlyForTheData) {
    const std::uint32_t claimed = kMaxListCount - 1;
    const std::string data =
        countBytes(claimed) + bytesOf(Interval{1, 2}) + bytesOf(Interval{3, 4}) + "partial";
    std::istringstream seekable(data);
    IOStreamInputStream stream(&seekable);
    std::vector<Interval> list;
    EXPECT_EQ(readCountedList(stream, list), claimed);
    EXPECT_FALSE(stream.good());
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[1].end, 4);
    EXPECT_LE(list.capacity(), 3u);

    // Without a size to ask for, the list starts small and grows with what arrives.
    PipeLikeBuffer pipe(data);
    std::istream unseekable(&pipe);
    IOStreamInputStream pipeStream(&unseekable);
    EXPECT_EQ(readCountedList(pipeStream, list), claimed);
    EXPECT_FALSE(pipeStream.good());
    EXPECT_EQ(list.size(), 2u);
    EXPECT_LE(list.capacity() * sizeof(Interval), 1u << 20);
}

}  // namespace
