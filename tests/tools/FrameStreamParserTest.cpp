// The recorder's reading of the frame stream: headers that are not a frame stream's, and
// memory that follows the bytes received. How reads and connections cut the stream is the
// fuzz target frame_stream's, whose corpus ctest replays against a parser of whole
// connections.
#include "tools/orvane-record/FrameStreamParser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace OrvaneRecord;
using Kor::FrameStreamHeader;

// Every event as a line of text, in order.
class EventLog final : public FrameStreamListener {
public:
    std::vector<std::string> events;
    void OnSegment(const FrameStreamHeader& h) override {
        events.push_back("segment " + std::to_string(h.width) + "x" + std::to_string(h.height));
    }
    void OnFrame(const uint8_t* frame, size_t size) override {
        events.push_back("frame " + std::to_string(size) + " from " + std::to_string(frame[0]));
    }
    void OnBadHeader(const FrameStreamHeader& h) override {
        events.push_back("bad " + std::to_string(h.format));
    }
};

std::string header(uint32_t format, uint32_t width, uint32_t height) {
    const auto bytes = Kor::EncodeFrameStreamHeader({format, width, height});
    return std::string(bytes.begin(), bytes.end());
}

std::string frame(uint32_t width, uint32_t height, uint8_t first) {
    std::string bytes(Kor::FrameBytes(width, height), '\x55');
    bytes[0] = static_cast<char>(first);
    return bytes;
}

// Feeds each connection in one read, ending every connection.
void feed(FrameStreamParser& parser, const std::vector<std::string>& connections) {
    for (const std::string& bytes : connections) {
        parser.Feed(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
        parser.EndConnection();
    }
}

TEST(FrameStreamParser, AConnectionWithAHeaderThatIsNotAFrameStreamsIsSkipped) {
    struct Case {
        std::string first;
        std::vector<std::string> events;
    };
    const std::string tail = frame(1, 1, 9) + frame(1, 1, 9);
    const Case cases[] = {
        {header(8, 2, 2) + tail, {"bad 8"}},
        {header(7, 32768, 1) + tail, {"bad 7"}},
        {header(7, 1, 0xFFFFFFFF) + tail, {"bad 7"}},
        {"GIF89a" + tail + tail, {"bad 944130375"}},
        // A window without pixels: nothing to record, and nothing wrong with the stream.
        {header(7, 0, 480) + tail, {}},
        {header(7, 32767, 1), {"segment 32767x1"}},
    };
    for (const Case& c : cases) {
        EventLog log;
        FrameStreamParser parser(log);
        feed(parser, {c.first, header(7, 1, 1) + frame(1, 1, 6)});
        std::vector<std::string> expected = c.events;
        expected.push_back("segment 1x1");  // the next connection is read as ever
        expected.push_back("frame 3 from 6");
        EXPECT_EQ(log.events, expected) << c.first.substr(0, 12);
    }
}

TEST(FrameStreamParser, MemoryFollowsTheBytesReceivedNotTheSizeAHeaderClaims) {
    EventLog log;
    FrameStreamParser parser(log);
    const std::string bytes = header(7, 32767, 32767) + std::string(1000, '\0');
    parser.Feed(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    EXPECT_LE(parser.BufferCapacity(), size_t{1} << 20);  // the frame would be 3 GB
    parser.EndConnection();
    EXPECT_EQ(parser.FramesCutShort(), 1u);
}

}  // namespace
