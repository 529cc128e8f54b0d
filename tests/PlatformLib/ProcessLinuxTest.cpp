// The Linux process services against the C library and the kernel's own answers.
#include "PlatformLib/Process.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
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
    EXPECT_EQ(path.filename(), "ProcessLinuxTest");
    EXPECT_TRUE(std::filesystem::is_regular_file(path));
}

// Never above the machine's memory, and lowered by a resident-set limit, which the kernel
// accepts without enforcing it.
TEST(Process, MemoryLimitIsTheMachinesOrALowerLimit) {
    const uint64_t physical = uint64_t(sysconf(_SC_PHYS_PAGES)) * uint64_t(sysconf(_SC_PAGE_SIZE));
    const uint64_t limit = Kor::MemoryLimit();
    EXPECT_GT(limit, 0u);
    EXPECT_LE(limit, physical);

    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_RSS, &saved), 0);
    rlimit lowered = saved;
    lowered.rlim_cur = 100 << 20;
    ASSERT_EQ(setrlimit(RLIMIT_RSS, &lowered), 0);
    const uint64_t underLimit = Kor::MemoryLimit();
    ASSERT_EQ(setrlimit(RLIMIT_RSS, &saved), 0);
    EXPECT_EQ(underLimit, std::min<uint64_t>(limit, 100 << 20));
}

TEST(Process, TheRuntimeDirectoryIsXdgRuntimeDirOnlyWhenThatIsAnAbsolutePath) {
    const char* saved = std::getenv("XDG_RUNTIME_DIR");
    const std::string kept = saved != nullptr ? saved : "";
    const struct {
        const char* value;  // null: unset
        const char* folder;
    } cases[] = {
        {"/run/user/1000", "/run/user/1000"},
        {nullptr, "/tmp"},
        {"", "/tmp"},
        {"run/user/1000", "/tmp"},  // relative: would differ between working directories
        {"~/runtime", "/tmp"},
    };
    for (const auto& c : cases) {
        if (c.value != nullptr) {
            ::setenv("XDG_RUNTIME_DIR", c.value, 1);
        } else {
            ::unsetenv("XDG_RUNTIME_DIR");
        }
        EXPECT_EQ(Kor::RuntimeDirectory(), c.folder) << (c.value ? c.value : "(unset)");
    }
    if (saved != nullptr) {
        ::setenv("XDG_RUNTIME_DIR", kept.c_str(), 1);
    } else {
        ::unsetenv("XDG_RUNTIME_DIR");
    }
}

}  // namespace
