// The recorder's named pipe on Windows against the real writer of the window (on a thread of
// this process): frames become PNG files across two connections, a second recorder is
// refused, and the stop event ends a wait for a writer or for its next frame.
#include "tools/orvane-record/RecordingPipeWindows.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "OpenGlLib/FrameStreamFormat.h"
#include "OpenGlLib/PipeTransport.h"
#include "PlatformLib/Utf8Path.h"
#include "tests/support/TempDir.h"
#include "tools/orvane-record/FrameRecorder.h"
#include "tools/orvane-record/FrameStreamParser.h"
#include "tools/orvane-record/StoredPng.h"

namespace {

using namespace OrvaneRecord;

std::string pipeName(const char* what) {
    return R"(\\.\pipe\orvane_record_test_)" + std::to_string(::GetCurrentProcessId()) + "_" + what;
}

std::vector<uint8_t> frameOf(uint32_t width, uint32_t height, unsigned seed) {
    std::vector<uint8_t> frame(Kor::FrameBytes(width, height));
    for (size_t i = 0; i < frame.size(); ++i) {
        frame[i] = static_cast<uint8_t>(i * seed + i / 251);
    }
    return frame;
}

// One connection of the window: the header, then the frames, each write one message.
void writeConnection(const std::string& name, uint32_t width, uint32_t height,
                     const std::vector<std::vector<uint8_t>>& frames) {
    auto transport = Kor::MakeSystemPipeTransport(name);
    Kor::PipeOpenResult opened = transport->Open();
    for (int tries = 0; opened.status != Kor::PipeOpenStatus::Opened && tries < 200; ++tries) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        opened = transport->Open();
    }
    ASSERT_EQ(opened.status, Kor::PipeOpenStatus::Opened) << opened.error;
    ASSERT_EQ(transport->SetWriteMode(opened.handle), 0u);
    const auto header = Kor::EncodeFrameStreamHeader({Kor::kFrameStreamFormat, width, height});
    std::vector<std::vector<uint8_t>> messages = {{header.begin(), header.end()}};
    messages.insert(messages.end(), frames.begin(), frames.end());
    for (const auto& message : messages) {
        const Kor::PipeWriteResult wrote =
            transport->Write(opened.handle, message.data(), message.size());
        EXPECT_EQ(wrote.status, Kor::PipeWriteStatus::Wrote) << wrote.error;
        EXPECT_EQ(wrote.written, message.size());
    }
    transport->Close(opened.handle);
}

struct Event {
    Event() : handle(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    ~Event() { ::CloseHandle(handle); }
    HANDLE handle;
};

TEST(NamedPipeServer, FramesOfTwoConnectionsBecomePngFilesAndASecondServerIsRefused) {
    const std::string name = pipeName("frames");
    Event stop;
    std::string error;
    const auto server = NamedPipeServer::Create(name, stop.handle, error);
    ASSERT_TRUE(server) << error;
    EXPECT_FALSE(NamedPipeServer::Create(name, stop.handle, error));
    EXPECT_NE(error.find("already served"), std::string::npos) << error;

    // 160 x 150 frames are larger than a stored block and than one read of the pipe's buffer.
    const std::vector<std::vector<uint8_t>> first = {frameOf(160, 150, 7), frameOf(160, 150, 11)};
    const std::vector<std::vector<uint8_t>> second = {frameOf(5, 3, 13)};
    std::thread window([&] {
        writeConnection(name, 160, 150, first);
        writeConnection(name, 5, 3, second);
    });

    OrvaneTest::TempDir dir;
    RecordOptions options;
    options.pngFolder = Kor::PathToUtf8(dir.path());
    ProgressLine progress(stderr, false);
    FrameRecorder recorder(options, "", progress, stderr);
    FrameStreamParser parser(recorder);
    std::vector<uint8_t> buffer(1 << 16);
    for (int connections = 0; connections < 2;) {
        const PipeRead read = server->Read(buffer.data(), buffer.size(), error);
        ASSERT_TRUE(read.status == PipeReadStatus::Data ||
                    read.status == PipeReadStatus::WriterGone)
            << error;
        if (read.status == PipeReadStatus::Data) {
            parser.Feed(buffer.data(), read.bytes);
        } else {
            parser.EndConnection();
            ++connections;
        }
    }
    window.join();
    EXPECT_TRUE(recorder.Finish());
    EXPECT_EQ(recorder.Frames(), 3u);
    EXPECT_EQ(recorder.Segments(), 2u);

    // The encoder's pictures are checked against libpng in the Linux build; here each file
    // must be the encoding of the frame that came through the pipe.
    const struct {
        const char* file;
        uint32_t width, height;
        const std::vector<uint8_t>& frame;
    } expected[] = {{"frame_000001.png", 160, 150, first[0]},
                    {"frame_000002.png", 160, 150, first[1]},
                    {"frame_000003.png", 5, 3, second[0]}};
    for (const auto& frame : expected) {
        const std::vector<uint8_t> png =
            EncodeStoredPng(frame.width, frame.height, frame.frame.data());
        EXPECT_EQ(OrvaneTest::readFile(dir.path() / frame.file),
                  std::string(png.begin(), png.end()))
            << frame.file;
    }
}

TEST(NamedPipeServer, TheStopEventEndsAWaitForAWriterAndForItsNextFrame) {
    const std::string name = pipeName("stop");
    Event stop;
    std::string error;
    const auto server = NamedPipeServer::Create(name, stop.handle, error);
    ASSERT_TRUE(server) << error;
    std::vector<uint8_t> buffer(1 << 16);
    const auto readInThread = [&] {
        return std::async(std::launch::async,
                          [&] { return server->Read(buffer.data(), buffer.size(), error).status; });
    };

    // No writer yet.
    auto waiting = readInThread();
    EXPECT_EQ(waiting.wait_for(std::chrono::milliseconds(200)), std::future_status::timeout);
    ::SetEvent(stop.handle);
    ASSERT_EQ(waiting.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    EXPECT_EQ(waiting.get(), PipeReadStatus::Stopped);

    // A writer that is connected but sends nothing.
    ::ResetEvent(stop.handle);
    auto transport = Kor::MakeSystemPipeTransport(name);
    auto connected = readInThread();
    Kor::PipeOpenResult opened = transport->Open();
    for (int tries = 0; opened.status != Kor::PipeOpenStatus::Opened && tries < 200; ++tries) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        opened = transport->Open();
    }
    ASSERT_EQ(opened.status, Kor::PipeOpenStatus::Opened) << opened.error;
    EXPECT_EQ(connected.wait_for(std::chrono::milliseconds(200)), std::future_status::timeout);
    ::SetEvent(stop.handle);
    ASSERT_EQ(connected.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    EXPECT_EQ(connected.get(), PipeReadStatus::Stopped);
    transport->Close(opened.handle);
}

}  // namespace
