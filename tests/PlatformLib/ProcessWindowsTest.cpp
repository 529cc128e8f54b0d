// The Windows process services against the system's own answers.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <thread>

#include "PlatformLib/Process.h"
#include "PlatformLib/WideText.h"
#include "tests/support/Platform.h"

namespace {

std::string formatMessage(DWORD code) {
    wchar_t* text = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string utf8 = Kor::WideToUtf8(std::wstring_view(text, length));
    ::LocalFree(text);
    return utf8;
}

TEST(Process, ErrorTextIsFormatMessagesWithoutItsLineBreak) {
    for (const DWORD code : {ERROR_SUCCESS, ERROR_FILE_NOT_FOUND, ERROR_PIPE_BUSY, ERROR_NO_DATA}) {
        std::string expected = formatMessage(code);
        ASSERT_GE(expected.size(), 2u) << code;
        ASSERT_EQ(expected.substr(expected.size() - 2), "\r\n") << code;
        expected.resize(expected.size() - 2);
        char buffer[256];
        const size_t length =
            Kor::SystemErrorText(static_cast<int32_t>(code), buffer, sizeof buffer);
        EXPECT_EQ(std::string(buffer), expected);
        EXPECT_EQ(length, expected.size());
    }
    char small[5];
    EXPECT_EQ(Kor::SystemErrorText(ERROR_FILE_NOT_FOUND, small, sizeof small), 4u);
    EXPECT_EQ(std::string(small), formatMessage(ERROR_FILE_NOT_FOUND).substr(0, 4));
    EXPECT_EQ(Kor::SystemErrorText(ERROR_FILE_NOT_FOUND, nullptr, 0), 0u);
    // A code the system has no text for.
    EXPECT_EQ(Kor::SystemErrorText(0x7654321, small, sizeof small), 0u);
    EXPECT_STREQ(small, "");
}

TEST(Process, ThreadIdsAreTheSystems) {
    EXPECT_EQ(Kor::CurrentThreadId(), ::GetCurrentThreadId());
    uint32_t other = 0;
    std::thread([&] { other = Kor::CurrentThreadId(); }).join();
    EXPECT_NE(other, 0u);
    EXPECT_NE(other, Kor::CurrentThreadId());
}

TEST(Process, TheMonotonicCounterIsThePerformanceCounter) {
    LARGE_INTEGER frequency{}, before{}, after{};
    ::QueryPerformanceFrequency(&frequency);
    EXPECT_EQ(Kor::MonotonicFrequency(), frequency.QuadPart);
    ::QueryPerformanceCounter(&before);
    const int64_t counter = Kor::MonotonicCounter();
    ::QueryPerformanceCounter(&after);
    EXPECT_GE(counter, before.QuadPart);
    EXPECT_LE(counter, after.QuadPart);
}

TEST(Process, ExecutablePathNamesThisTestProgram) {
    const std::string path = Kor::ExecutablePath();
    const std::filesystem::path native(Kor::Utf8ToWide(path));
    EXPECT_TRUE(native.is_absolute()) << path;
    EXPECT_EQ(native.filename(), "ProcessWindowsTest.exe");
    EXPECT_TRUE(std::filesystem::is_regular_file(native));
}

TEST(Process, MemoryLimitIsTheMachinesOrAJobsLimit) {
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    ASSERT_TRUE(::GlobalMemoryStatusEx(&status));
    const uint64_t limit = Kor::MemoryLimit();
    EXPECT_GT(limit, 0u);
    EXPECT_LE(limit, status.ullTotalPhys);

    // A job that allows each of its processes 100 MiB; this test's process stays in it, and
    // ctest runs every test in a process of its own.
    HANDLE job = ::CreateJobObjectW(nullptr, nullptr);
    ASSERT_NE(job, nullptr);
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_PROCESS_MEMORY;
    limits.ProcessMemoryLimit = 100 << 20;
    if (!::SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits,
                                   sizeof limits) ||
        !::AssignProcessToJobObject(job, ::GetCurrentProcess())) {
        GTEST_SKIP() << "this system does not put a process under a job's memory limit";
    }
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION seen{};
    if (!::QueryInformationJobObject(nullptr, JobObjectExtendedLimitInformation, &seen, sizeof seen,
                                     nullptr) ||
        (seen.BasicLimitInformation.LimitFlags & JOB_OBJECT_LIMIT_PROCESS_MEMORY) == 0) {
        GTEST_SKIP() << "this system does not tell a process its job (Wine 8)";
    }
    EXPECT_EQ(Kor::MemoryLimit(), std::min<uint64_t>(limit, 100 << 20));
}

TEST(Process, TheRuntimeDirectoryIsTheTemporaryFolder) {
    wchar_t folder[MAX_PATH + 1];
    const DWORD length = ::GetTempPathW(MAX_PATH + 1, folder);
    ASSERT_GT(length, 1u);
    ASSERT_EQ(folder[length - 1], L'\\');
    EXPECT_EQ(Kor::RuntimeDirectory(), Kor::WideToUtf8(std::wstring_view(folder, length - 1)));
}

TEST(FailFastDeathTest, AFailFastExceptionEndsTheProcess) {
    EXPECT_EXIT(Kor::AbortProcess(), OrvaneTest::FailedFast(), "");
}

}  // namespace
