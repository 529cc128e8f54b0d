// The sink main installs: log lines on standard error, prefixes unpadded.
#include "PlatformLib/StderrLogSink.h"

#include <gtest/gtest.h>

#include "tests/support/LogCapture.h"

namespace {

TEST(StderrLogSink, WritesLogLinesToStandardErrorWithoutPadding) {
    OrvaneTest::installLogCapture();
    Kor::InstallStderrLogSink();
    Kor::InstallStderrLogSink();
    ASSERT_NE(dynamic_cast<Kor::StderrLogSink*>(Qel::RuntimeContext::LogSink), nullptr);
    EXPECT_EQ(Qel::RuntimeContext::LogSink->PrefixWidth(17), 17);
    OrvaneTest::setIntVar("showDebug", 3);
    testing::internal::CaptureStderr();
    Kor::LogLine("x/Menu.cpp", 9, 2, "[Default] ! Something 100%");
    Qel::RuntimeContext::LogSink->Printf("%s=%d\n", "n", 5);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "*WRN* Menu.cpp:9 [Default] ! Something 100%\nn=5\n");
}

}  // namespace
