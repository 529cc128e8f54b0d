// The Linux process services against the C library and the kernel's own answers.
#include "PlatformLib/Process.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <thread>

namespace {

TEST(Process, ErrorTextIsTheCLibrarysAndIsCutToTheBuffer) {
    for (int code : {0, ENOENT, EACCES, 123456}) {
        char buffer[256];
        const size_t length = Kor::SystemErrorText(code, buffer, sizeof buffer);
        EXPECT_STREQ(buffer, std::strerror(code));
        EXPECT_EQ(length, std::strlen(buffer));
    }
    char small[5];
    EXPECT_EQ(Kor::SystemErrorText(ENOENT, small, sizeof small), 4u);
    EXPECT_EQ(std::string(small), std::string(std::strerror(ENOENT)).substr(0, 4));
    EXPECT_EQ(Kor::SystemErrorText(ENOENT, nullptr, 0), 0u);
}

TEST(Process, ThreadIdsAreTheKernels) {
    EXPECT_EQ(Kor::CurrentThreadId(), static_cast<uint32_t>(getpid()));
    uint32_t other = 0;
    std::thread([&] { other = Kor::CurrentThreadId(); }).join();
    EXPECT_NE(other, 0u);
    EXPECT_NE(other, Kor::CurrentThreadId());
}

TEST(Process, TheMonotonicCounterCountsNanosecondsForward) {
    EXPECT_EQ(Kor::MonotonicFrequency(), 1000000000);
    const int64_t first = Kor::MonotonicCounter();
    EXPECT_GT(first, 0);
    EXPECT_GE(Kor::MonotonicCounter(), first);
}

TEST(Process, MillisecondsOfLongUptimesDoNotOverflow) {
    // 200 years of nanoseconds: multiplying by 1000 first would overflow.
    const int64_t ticks = int64_t{6'311'520'000} * 1'000'000'000 + 999'999'999;
    EXPECT_EQ(Kor::TicksToMilliseconds(ticks, 1'000'000'000), int64_t{6'311'520'000'999});
    EXPECT_EQ(Kor::TicksToMilliseconds(1'999, 1'000), 1'999);
    EXPECT_EQ(Kor::TicksToMilliseconds(2'500'000, 3'000'000), 833);
    const int64_t now = Kor::MonotonicMilliseconds();
    EXPECT_NEAR(static_cast<double>(now), Kor::MonotonicCounter() / 1e6, 1000.0);
}

TEST(Process, ExecutablePathNamesThisTestProgram) {
    const std::filesystem::path path = Kor::ExecutablePath();
    EXPECT_TRUE(path.is_absolute()) << path;
    EXPECT_EQ(path.filename(), "ProcessTest");
    EXPECT_TRUE(std::filesystem::is_regular_file(path));
}

}  // namespace
