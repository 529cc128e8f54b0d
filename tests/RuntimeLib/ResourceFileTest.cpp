// Resource files are found beside the executable.
#include "RuntimeLib/ResourceFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "PlatformLib/Process.h"
#include "PlatformLib/Utf8Path.h"
#include "tests/support/LogCapture.h"

namespace {

TEST(JoinResourcePath, FollowsThePathRules) {
    EXPECT_EQ(Kor::JoinResourcePath("/opt/orvane/bin/orvane", "Menu.cfg"),
              "/opt/orvane/bin/Menu.cfg");
    EXPECT_EQ(Kor::JoinResourcePath("/orvane", "Menu.cfg"), "/Menu.cfg");
    EXPECT_EQ(Kor::JoinResourcePath("/opt/bin/orvane", "/etc/Menu.cfg"), "/etc/Menu.cfg");
    EXPECT_EQ(Kor::JoinResourcePath("/opt/bin/orvane", "data/Menu.cfg"), "/opt/bin/data/Menu.cfg");
    EXPECT_EQ(Kor::JoinResourcePath("orvane", "Menu.cfg"), "Menu.cfg");
#ifdef _WIN32
    // Both separators split; the result has forward slashes only.
    EXPECT_EQ(Kor::JoinResourcePath("C:\\dir\\prog.exe", "Menu.cfg"), "C:/dir/Menu.cfg");
    EXPECT_EQ(Kor::JoinResourcePath("C:\\prog.exe", "Menu.cfg"), "C:/Menu.cfg");
    EXPECT_EQ(Kor::JoinResourcePath("C:\\a/b\\orvane.exe", "x\\y.cfg"), "C:/a/b/x/y.cfg");
    EXPECT_EQ(Kor::JoinResourcePath("C:\\r\xc3\xa9p\\orvane.exe", "Menu.cfg"),
              "C:/r\xc3\xa9p/Menu.cfg");
#else
    // A backslash is part of a file name here, not a separator.
    EXPECT_EQ(Kor::JoinResourcePath("/opt/a\\b/orvane", "x\\y.cfg"), "/opt/a\\b/x\\y.cfg");
#endif
}

// The running executable, as the system names it.
std::filesystem::path thisExecutable() {
#ifdef _WIN32
    // GetModuleFileNameW, which the process services' own tests hold against the system.
    return Kor::PathFromUtf8(Kor::ExecutablePath());
#else
    return std::filesystem::canonical("/proc/self/exe");
#endif
}

class ResourceFileTest : public ::testing::Test {
protected:
    void SetUp() override { mSink = &OrvaneTest::installLogCapture(); }
    OrvaneTest::RecordingLogSink* mSink = nullptr;
};

TEST_F(ResourceFileTest, ResolvesBesideTheRunningExecutable) {
    const std::filesystem::path exe = thisExecutable();
    ASSERT_EQ(Kor::CurrentModule().value_or(""), exe.string());
    OrvaneTest::setIntVar("showDebug", 1);
    EXPECT_EQ(Kor::ResolveResourceFile("MainMenu.cfg"),
              (exe.parent_path() / "MainMenu.cfg").generic_string());
    // Verbose logging is off by default: no existence test, no message.
    EXPECT_TRUE(mSink->lines().empty());
}

TEST_F(ResourceFileTest, VerboseLoggingReportsWhetherTheFileIsThere) {
    OrvaneTest::setIntVar("showDebug", 1);
    OrvaneTest::setIntVar("debug.Default", 4);
    const std::filesystem::path exe = thisExecutable();
    const std::string name = exe.filename().string();
    const std::string dir = exe.parent_path().generic_string();
    Kor::ResolveResourceFile(name);
    Kor::ResolveResourceFile("no/such/Menu.cfg");
    EXPECT_EQ(mSink->lines(),
              (std::vector<std::string>{"[Default] Resource File: " + name + " => " +
                                            exe.generic_string() + "  (Found)\n",
                                        "[Default] Resource File: no/such/Menu.cfg => " + dir +
                                            "/no/such/Menu.cfg  (Missing)\n"}));
}

}  // namespace
