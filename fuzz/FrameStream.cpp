// The recorder's frame-stream parser, fed in reads and connections that the input chooses,
// against a parser of whole connections written the plain way. Each piece of input is a
// control byte (read length, end of connection) followed by that many stream bytes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/orvane-record/FrameStreamParser.h"

namespace {

using OrvaneRecord::FrameStreamListener;
using OrvaneRecord::FrameStreamParser;
using OrvaneRecord::HeaderKind;

std::string segmentEvent(const Kor::FrameStreamHeader& h) {
    return "S" + std::to_string(h.width) + "x" + std::to_string(h.height);
}

std::string badEvent(const Kor::FrameStreamHeader& h) {
    return "B" + std::to_string(h.format);
}

class EventLog final : public FrameStreamListener {
public:
    std::vector<std::string> events;
    void OnSegment(const Kor::FrameStreamHeader& h) override { events.push_back(segmentEvent(h)); }
    void OnFrame(const uint8_t* frame, size_t size) override {
        events.push_back("F" + std::string(reinterpret_cast<const char*>(frame), size));
    }
    void OnBadHeader(const Kor::FrameStreamHeader& h) override { events.push_back(badEvent(h)); }
};

// The events of one whole connection.
void parseWhole(const std::string& bytes, std::vector<std::string>& events, uint64_t& cut) {
    if (bytes.size() < Kor::kFrameStreamHeaderBytes) {
        return;
    }
    const Kor::FrameStreamHeader h =
        Kor::DecodeFrameStreamHeader(reinterpret_cast<const uint8_t*>(bytes.data()));
    const HeaderKind kind = OrvaneRecord::ClassifyHeader(h);
    if (kind != HeaderKind::Frames) {
        if (kind == HeaderKind::Bad) {
            events.push_back(badEvent(h));
        }
        return;
    }
    events.push_back(segmentEvent(h));
    const size_t frameBytes = Kor::FrameBytes(h.width, h.height);
    size_t at = Kor::kFrameStreamHeaderBytes;
    for (; bytes.size() - at >= frameBytes; at += frameBytes) {
        events.push_back("F" + bytes.substr(at, frameBytes));
    }
    cut += at < bytes.size() ? 1 : 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    EventLog log;
    FrameStreamParser parser(log);
    std::vector<std::string> expected;
    uint64_t expectedCut = 0;
    std::string connection;
    size_t at = 0;
    while (at < size) {
        const uint8_t control = data[at++];
        const size_t length = std::min<size_t>(control & 0x3F, size - at);
        parser.Feed(data + at, length);
        connection.append(reinterpret_cast<const char*>(data + at), length);
        at += length;
        if (control & 0x80) {
            parser.EndConnection();
            parseWhole(connection, expected, expectedCut);
            connection.clear();
        }
    }
    parser.EndConnection();
    parseWhole(connection, expected, expectedCut);
    if (log.events != expected || parser.FramesCutShort() != expectedCut) {
        __builtin_trap();
    }
    return 0;
}
