// Window construction, Init's checks, frames and destruction, on a display-less window system.
// Settings are bound once per process, so tests that depend on the first binding run in a
// child process of their own.
#include <gtest/gtest.h>

#include "OpenGlLib/GLExtensions.h"
#include "OpenGlLib/GLWindow.h"
#include "OpenGlLib/GLWindowInternals.h"
#include "PlatformLib/InMemoryVarsManager.h"
#include "PlatformLib/StderrLogSink.h"
#include "PlatformLib/Vars.h"
#include "tests/support/FakeWindowSystem.h"
#include "tests/support/Platform.h"

namespace {

using namespace Kor;
using OrvaneTest::FakeWindowSystem;
using OrvaneTest::ScopedFakeWindowSystem;

// Makes failure reports visible on standard error, as a user who turns logging on sees them.
void showReports() {
    InstallInMemoryVarsManager();
    InstallStderrLogSink();
    SetVarFromText("showDebug", "1");
}

class GLWindowDeathTest : public ::testing::Test {
protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

void openWith(void (*configure)(FakeWindowSystem&)) {
    showReports();
    ScopedFakeWindowSystem system;
    configure(system.fake);
    GLWindow window("Checked", WindowSize{320, 200});
    std::exit(window.mIsOpen ? 0 : 9);
}

TEST_F(GLWindowDeathTest, EveryFailedCreationStepEndsTheProcessWithItsReport) {
    EXPECT_EXIT(
        openWith([](FakeWindowSystem& f) { f.failRegisterClass = true; }), OrvaneTest::FailedFast(),
        "QelResult ERROR - CFF\\(GLWindowInternals::RegisterQelClass\\(::DefWindowProcW\\)\\)");
    EXPECT_EXIT(openWith([](FakeWindowSystem& f) { f.noDrawSurface = true; }),
                OrvaneTest::FailedFast(), "QelResult ERROR - CFF\\(mhdc != 0\\)");
    EXPECT_EXIT(openWith([](FakeWindowSystem& f) { f.noPixelFormat = true; }),
                OrvaneTest::FailedFast(), "QelResult ERROR - CFF\\(iPixelFormat != 0\\)");
    EXPECT_EXIT(openWith([](FakeWindowSystem& f) { f.rejectPixelFormat = true; }),
                OrvaneTest::FailedFast(),
                "QelResult ERROR - CFF\\(SetPixelFormat\\(mhdc, iPixelFormat, &pfd\\)\\)");
    EXPECT_EXIT(openWith([](FakeWindowSystem& f) { f.failCreateContextTimes = 2; }),
                OrvaneTest::FailedFast(),
                "Error creating GL context - Cannot continue with Windows turned on\\.\\s*"
                "QelResult ERROR - CFF\\(\"Explicit QEL_FAILFAST\\.\" && false\\)");
    EXPECT_EXIT(openWith([](FakeWindowSystem& f) { f.contextVersion = "2.1 Fake"; }),
                OrvaneTest::FailedFast(), "QelResult ERROR - CFF\\(opengl_extension_init_ok\\)");
}

TEST_F(GLWindowDeathTest, AFailedWindowCreationShowsTheSystemErrorAndExitsWithItsCode) {
    EXPECT_EXIT(openWith([](FakeWindowSystem& f) { f.failCreateWindow = true; }),
                ::testing::ExitedWithCode(5),
                "Call to CreateWindowEx failed for Checked\\s*"
                "wibble failed with error 5: Access denied\n");
    // A code that would read as success still exits with a failure.
    EXPECT_EXIT(openWith([](FakeWindowSystem& f) {
                    f.failCreateWindow = true;
                    f.createError = {256, "Odd"};
                }),
                ::testing::ExitedWithCode(1), "wibble failed with error 256: Odd\n");
}

TEST_F(GLWindowDeathTest, ASecondContextAttemptRescuesTheWindow) {
    EXPECT_EXIT(openWith([](FakeWindowSystem& f) { f.failCreateContextTimes = 1; }),
                ::testing::ExitedWithCode(0), "");
}

TEST_F(GLWindowDeathTest, RemoteRenderingWithoutFramebuffersGetsStandIns) {
    auto run = [] {
        ScopedFakeWindowSystem system;
        system.fake.contextVersion = "1.4 (2.1 Mesa) indirect";
        system.fake.remote = true;
        GLWindow window("Remote", WindowSize{320, 200});
        const bool ok = window.mIsOpen && GLEntry::glCheckFramebufferStatus != nullptr &&
                        GLEntry::glCheckFramebufferStatus(GL_FRAMEBUFFER) == 0x8CD5 &&
                        GLEntry::glBlendColor != nullptr && GLEntry::glGetStringi == nullptr;
        std::exit(ok ? 0 : 9);
    };
    EXPECT_EXIT(run(), ::testing::ExitedWithCode(0), "");
}

TEST_F(GLWindowDeathTest, SizeAndPositionAreBoundOnceUnderTheFirstWindowsName) {
    auto run = [] {
        InstallInMemoryVarsManager();
        SetVarFromText("First.initPosX", "-2");
        ScopedFakeWindowSystem system;
        GLWindow first("First", WindowSize{300, 200});
        GLWindow second("Second", WindowSize{900, 700});
        const auto& made = system.fake.created;
        const WindowCreateInfo& a = made.at(first.mInternals->mhwnd);
        const WindowCreateInfo& b = made.at(second.mInternals->mhwnd);
        const auto names = ListVariables();
        const bool ok =
            a.width == 300 && a.height == 200 && a.x == -2 && !a.defaultX && a.defaultY &&
            b.width == 300 && b.height == 200 && b.title == "Second" &&
            names.count("First.initSizeY") == 1 && names.count("Second.initSizeX") == 0 &&
            names.count("First.RecordToPipe") == 1 && names.count("Second.RecordToPipe") == 1;
        std::exit(ok ? 0 : 9);
    };
    EXPECT_EXIT(run(), ::testing::ExitedWithCode(0), "");
}

TEST_F(GLWindowDeathTest, VsyncSettingDecidesWhetherTheSwapIntervalIsTouched) {
    auto run = [](const char* vsync) {
        InstallInMemoryVarsManager();
        SetVarFromText("glwindow_vsync", vsync);
        ScopedFakeWindowSystem system;
        GLWindow window("Sync", WindowSize{300, 200});
        GLWindow again("Sync2", WindowSize{300, 200});
        std::exit(system.fake.swapIntervalCalls * 10 + system.fake.lastSwapInterval + 1);
    };
    EXPECT_EXIT(run("0"), ::testing::ExitedWithCode(21), "");  // both windows, interval 0
    EXPECT_EXIT(run("1"), ::testing::ExitedWithCode(0), "");   // left to the driver
}

TEST_F(GLWindowDeathTest, DestroyingAWindowWhoseContextIsNotMappedFailsFast) {
    auto run = [] {
        showReports();
        ScopedFakeWindowSystem system;
        GLWindow window("Lost", WindowSize{300, 200});
        GLWindowInternals::mContextMap.clear();
    };
    EXPECT_EXIT(run(), OrvaneTest::FailedFast(),
                "QelResult ERROR - CFF\\(it != mContextMap.end\\(\\)\\)");
}

TEST(GLWindowTest, LaterWindowsLookNothingUp) {
    ScopedFakeWindowSystem system;
    GLWindow first("Lookups", WindowSize{300, 200});
    const int lookups = system.fake.procLookups;
    GLWindow second("Lookups2", WindowSize{300, 200});
    EXPECT_EQ(system.fake.procLookups, lookups);
    EXPECT_TRUE(second.mIsOpen);
}

TEST(GLWindowTest, FramesSwitchContextsAndRestoreThePreviousOne) {
    ScopedFakeWindowSystem system;
    FakeWindowSystem& fake = system.fake;
    GLWindow a("A", WindowSize{300, 200});
    GLWindow b("B", WindowSize{300, 200});
    fake.MakeCurrent(0, nullptr);

    a.BeginFrame();
    EXPECT_EQ(fake.currentContext, a.mInternals->mhglrc);
    EXPECT_EQ(fake.currentSurface, a.mInternals->mhdc);
    b.BeginFrame();
    EXPECT_EQ(fake.currentContext, b.mInternals->mhglrc);
    b.EndFrame();
    EXPECT_EQ(fake.currentContext, a.mInternals->mhglrc);
    a.Caption() << "frame " << 1;
    EXPECT_EQ(a.mCaption.str(), "frame 1");
    a.EndFrame();
    EXPECT_EQ(a.mCaption.str(), "");
    // Init left its own entry on the stack; the frame pair left it as it was.
    EXPECT_EQ(a.mInternals->mContextStack.size(), 1u);
    EXPECT_EQ(fake.swapCount, 2);
    EXPECT_EQ(a.mViewportWidth, 300);  // the overlay applied the viewport
}

TEST(GLWindowTest, DestructionUnmapsDeletesAndDestroys) {
    ScopedFakeWindowSystem system;
    FakeWindowSystem& fake = system.fake;
    NativeWindow hwnd = 0;
    GLContextHandle context = nullptr;
    {
        GLWindow window("Gone", WindowSize{300, 200});
        hwnd = window.mInternals->mhwnd;
        context = window.mInternals->mhglrc;
        EXPECT_EQ(GLWindowInternals::mContextMap.at(context), window.mInternals.get());
        EXPECT_EQ(fake.lastRequest.depthBits, 32);
        EXPECT_TRUE(fake.created.at(hwnd).defaultX && fake.created.at(hwnd).defaultY);
        EXPECT_EQ(fake.created.at(hwnd).className, "GLWClass");
    }
    EXPECT_EQ(GLWindowInternals::mContextMap.count(context), 0u);
    EXPECT_TRUE(fake.deletedContexts[context]);
    EXPECT_TRUE(fake.destroyed[hwnd]);
    EXPECT_EQ(fake.currentContext, nullptr);  // not left current after its deletion
}

}  // namespace
