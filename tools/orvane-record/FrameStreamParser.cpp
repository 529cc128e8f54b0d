#include "tools/orvane-record/FrameStreamParser.h"

#include <algorithm>
#include <cstring>

namespace OrvaneRecord {

namespace {
// Frames are collected in a buffer that starts at most this large and grows with the data.
constexpr size_t kFirstReserve = size_t{1} << 20;
}  // namespace

HeaderKind ClassifyHeader(const Kor::FrameStreamHeader& header) {
    if (header.format != Kor::kFrameStreamFormat || header.width > kMaxFrameSide ||
        header.height > kMaxFrameSide) {
        return HeaderKind::Bad;
    }
    return header.width == 0 || header.height == 0 ? HeaderKind::NoPixels : HeaderKind::Frames;
}

void FrameStreamParser::TakeHeader() {
    const Kor::FrameStreamHeader header = Kor::DecodeFrameStreamHeader(mHeader);
    mHeaderFill = 0;
    const HeaderKind kind = ClassifyHeader(header);
    if (kind != HeaderKind::Frames) {
        // Either way this connection has no frames to take.
        if (kind == HeaderKind::Bad) {
            mListener.OnBadHeader(header);
        }
        mState = State::Skip;
        return;
    }
    mFrameBytes = Kor::FrameBytes(header.width, header.height);
    mFrame.clear();
    if (mFrame.capacity() < mFrameBytes) {
        std::vector<uint8_t>().swap(mFrame);  // the last segment's frames were smaller
        mFrame.reserve(std::min(mFrameBytes, kFirstReserve));
    }
    mState = State::Frames;
    mListener.OnSegment(header);
}

void FrameStreamParser::Feed(const uint8_t* data, size_t size) {
    while (size > 0) {
        switch (mState) {
            case State::Skip:
                return;
            case State::Header: {
                const size_t take = std::min(size, sizeof mHeader - mHeaderFill);
                std::memcpy(mHeader + mHeaderFill, data, take);
                mHeaderFill += take;
                data += take;
                size -= take;
                if (mHeaderFill == sizeof mHeader) {
                    TakeHeader();
                }
                break;
            }
            case State::Frames: {
                const size_t take = std::min(size, mFrameBytes - mFrame.size());
                mFrame.insert(mFrame.end(), data, data + take);
                data += take;
                size -= take;
                if (mFrame.size() == mFrameBytes) {
                    mListener.OnFrame(mFrame.data(), mFrame.size());
                    mFrame.clear();
                }
                break;
            }
        }
    }
}

void FrameStreamParser::EndConnection() {
    if (mState == State::Frames && !mFrame.empty()) {
        ++mFramesCutShort;
    }
    mFrame.clear();
    mHeaderFill = 0;
    mState = State::Header;
}

}  // namespace OrvaneRecord
