// The Linux process services against the C library and the kernel's own answers.
#include "PlatformLib/Process.h"

#include <gtest/gtest.h>
#include <unistd.h>

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

TEST(Process, ExecutablePathNamesThisTestProgram) {
    const std::filesystem::path path = Kor::ExecutablePath();
    EXPECT_TRUE(path.is_absolute()) << path;
    EXPECT_EQ(path.filename(), "ProcessTest");
    EXPECT_TRUE(std::filesystem::is_regular_file(path));
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
