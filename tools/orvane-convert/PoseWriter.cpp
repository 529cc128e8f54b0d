#include "tools/orvane-convert/PoseWriter.h"

#include <bit>
#include <charconv>
#include <cstdint>

namespace OrvaneConvert {

namespace {

// The longest shortest form of a double, "-2.2250738585072014e-308", and a separator.
constexpr std::size_t kNumberRoom = 25;
// A text line or a binary record at most.
constexpr std::size_t kRecordRoom = 13 * kNumberRoom;

char* appendText(char* at, double value) {
    return std::to_chars(at, at + kNumberRoom, value).ptr;
}

char* appendLittleEndian(char* at, double value) {
    const auto bits = std::bit_cast<std::uint64_t>(value);
    for (int shift = 0; shift < 64; shift += 8) {
        *at++ = static_cast<char>(bits >> shift);
    }
    return at;
}

}  // namespace

PoseWriter::PoseWriter(Kor::PoseFormat form, WriteBytes write, std::size_t blockSize)
    : mForm(form),
      mWrite(std::move(write)),
      mBlockSize(blockSize),
      mBuffer(std::make_unique_for_overwrite<char[]>(blockSize + kRecordRoom)) {}

bool PoseWriter::write(const OrvanePose& pose) {
    if (mFailed) {
        return false;
    }
    char* at = mBuffer.get() + mUsed;
    if (mForm == Kor::PoseFormat::Binary) {
        at = appendLittleEndian(at, pose.time);
        for (const double r : pose.R) {
            at = appendLittleEndian(at, r);
        }
        for (const double t : pose.t) {
            at = appendLittleEndian(at, t);
        }
    } else {
        at = appendText(at, pose.time);
        for (int row = 0; row < 3; ++row) {
            for (int column = 0; column < 3; ++column) {
                *at++ = ' ';
                at = appendText(at, pose.R[3 * row + column]);
            }
            *at++ = ' ';
            at = appendText(at, pose.t[row]);
        }
        *at++ = '\n';
    }
    mUsed = static_cast<std::size_t>(at - mBuffer.get());
    return mUsed < mBlockSize || flush();
}

bool PoseWriter::finish() {
    return !mFailed && flush();
}

bool PoseWriter::flush() {
    if (mUsed > 0 && !mWrite(std::string_view(mBuffer.get(), mUsed))) {
        mFailed = true;
    }
    mUsed = 0;
    return !mFailed;
}

}  // namespace OrvaneConvert
