// The recording pipe on Windows against a real named-pipe server on a thread of this process:
// message boundaries, the busy and missing pipe, and a reader that goes away.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "OpenGlLib/FrameStreamFormat.h"
#include "OpenGlLib/PipeTransport.h"
#include "PlatformLib/WideText.h"

namespace {

using namespace Kor;

// A name of this test process alone, so that parallel runs do not meet.
std::string pipeName(const char* what) {
    return R"(\\.\pipe\orvane_test_)" + std::to_string(::GetCurrentProcessId()) + "_" + what;
}

HANDLE makeServer(const std::string& name) {
    return ::CreateNamedPipeW(Utf8ToWide(name).c_str(), PIPE_ACCESS_INBOUND,
                              PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT, 1, 0, 1 << 16,
                              0, nullptr);
}

// Reads one whole message, however many reads it takes.
std::vector<uint8_t> readMessage(HANDLE pipe) {
    std::vector<uint8_t> message;
    uint8_t chunk[1 << 16];
    for (;;) {
        DWORD got = 0;
        const BOOL whole = ::ReadFile(pipe, chunk, sizeof chunk, &got, nullptr);
        message.insert(message.end(), chunk, chunk + got);
        if (whole) {
            return message;
        }
        if (::GetLastError() != ERROR_MORE_DATA) {
            return {};
        }
    }
}

PipeHandle openWriter(PipeTransport& transport) {
    const PipeOpenResult opened = transport.Open();
    EXPECT_EQ(opened.status, PipeOpenStatus::Opened) << opened.error;
    EXPECT_EQ(transport.SetWriteMode(opened.handle), 0u);
    return opened.handle;
}

TEST(NamedPipeTransport, EachWriteArrivesAsOneMessage) {
    const std::string name = pipeName("messages");
    HANDLE server = makeServer(name);
    ASSERT_NE(server, INVALID_HANDLE_VALUE);
    std::vector<std::vector<uint8_t>> received;
    std::thread reader([&] {
        if (::ConnectNamedPipe(server, nullptr) || ::GetLastError() == ERROR_PIPE_CONNECTED) {
            for (int i = 0; i < 3; ++i) {
                received.push_back(readMessage(server));
            }
        }
    });

    auto transport = MakeSystemPipeTransport(name);
    const PipeHandle pipe = openWriter(*transport);
    const auto header = EncodeFrameStreamHeader({kFrameStreamFormat, 320, 240});
    // A frame larger than the pipe's buffer: the write waits until the reader drains it.
    std::vector<uint8_t> frame(FrameBytes(320, 240));
    for (size_t i = 0; i < frame.size(); ++i) {
        frame[i] = static_cast<uint8_t>(i * 7 + i / 251);
    }
    std::vector<uint8_t> odd(FrameBytes(641, 1), 0x5A);
    const std::vector<std::vector<uint8_t>> messages = {
        std::vector<uint8_t>(header.begin(), header.end()), frame, odd};
    for (const auto& message : messages) {
        const PipeWriteResult wrote = transport->Write(pipe, message.data(), message.size());
        ASSERT_EQ(wrote.status, PipeWriteStatus::Wrote) << wrote.error;
        EXPECT_EQ(wrote.written, message.size());
    }
    transport->Close(pipe);
    reader.join();
    ::CloseHandle(server);

    EXPECT_EQ(received, messages);
}

TEST(NamedPipeTransport, MissingBusyAndVanishedReaderAreFailuresWithTheSystemCode) {
    const std::string name = pipeName("failures");
    auto transport = MakeSystemPipeTransport(name);
    const PipeOpenResult missing = transport->Open();
    EXPECT_EQ(missing.status, PipeOpenStatus::Failed);
    EXPECT_EQ(missing.error, static_cast<uint32_t>(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(transport->WaitUntilFree(10));

    HANDLE server = makeServer(name);
    ASSERT_NE(server, INVALID_HANDLE_VALUE);
    std::thread accept([&] { ::ConnectNamedPipe(server, nullptr); });
    const PipeHandle first = openWriter(*transport);
    accept.join();

    // The only instance is taken: busy, and no instance comes free within the wait.
    const PipeOpenResult second = transport->Open();
    EXPECT_EQ(second.status, PipeOpenStatus::Busy);
    EXPECT_FALSE(transport->WaitUntilFree(50));

    // The reader goes away: the next write fails and says why.
    ::DisconnectNamedPipe(server);
    ::CloseHandle(server);
    const uint8_t byte = 1;
    const PipeWriteResult wrote = transport->Write(first, &byte, 1);
    EXPECT_EQ(wrote.status, PipeWriteStatus::Failed);
    EXPECT_NE(wrote.error, 0u);
    transport->Close(first);
}

TEST(NamedPipeTransport, RecordingGoesToTheSystemsNamedPipe) {
    EXPECT_EQ(RecordingPipePath(), R"(\\.\pipe\gk_pipe)");
}

}  // namespace
