// Deciding which GL entry points a context really offers.
#include <gtest/gtest.h>

#include "OpenGlLib/GLExtensions.h"
#include "tests/support/FakeWindowSystem.h"

namespace {

using namespace Kor;

TEST(GLExtensionsTest, VersionOrWholeExtensionNameDecides) {
    const char* ext = "GL_EXT_framebuffer_object GL_ARB_imaging GL_ARB_framebuffer_object_extra";
    EXPECT_TRUE(ContextOffers("3.0 Mesa", "", 3, 0, "GL_ARB_framebuffer_object"));
    EXPECT_TRUE(ContextOffers("4.5 (Compatibility Profile) Mesa 22.3.6", "", 3, 0, ""));
    EXPECT_TRUE(ContextOffers("10.0", "", 4, 6, ""));
    EXPECT_FALSE(ContextOffers("2.1 Mesa", ext, 3, 0, "GL_ARB_framebuffer_object"));
    EXPECT_TRUE(ContextOffers("2.1 Mesa", ext, 99, 0, "GL_EXT_framebuffer_object"));
    EXPECT_TRUE(ContextOffers("1.4", "GL_ARB_imaging", 3, 0, "GL_ARB_imaging"));
    EXPECT_TRUE(ContextOffers("OpenGL ES 3.2 Mesa", "", 3, 0, ""));
    EXPECT_FALSE(ContextOffers("2.9", "", 3, 0, ""));
    EXPECT_FALSE(ContextOffers("", "", 1, 2, ""));
    EXPECT_FALSE(ContextOffers("garbage", "", 1, 2, ""));
}

TEST(GLExtensionsTest, ADispatcherThatAnswersEveryNameDoesNotFakeSuccess) {
    OrvaneTest::FakeWindowSystem fake;  // every lookup answers non-null
    fake.contextVersion = "2.1 Mesa";
    fake.contextExtensions = "GL_EXT_framebuffer_object GL_ARB_vertex_buffer_object";
    EXPECT_FALSE(LoadGLEntryPoints(fake));
    EXPECT_EQ(GLEntry::glCheckFramebufferStatus, nullptr);
    EXPECT_NE(GLEntry::glCheckFramebufferStatusEXT, nullptr);
    EXPECT_NE(GLEntry::glBindBufferARB, nullptr);
    EXPECT_NE(GLEntry::glBlendEquationSeparate, nullptr);
    EXPECT_EQ(GLEntry::glGetStringi, nullptr);

    fake.contextExtensions = "GL_ARB_framebuffer_object";
    EXPECT_TRUE(LoadGLEntryPoints(fake));
    EXPECT_NE(GLEntry::glGenFramebuffers, nullptr);
    EXPECT_EQ(GLEntry::glCheckFramebufferStatusEXT, nullptr);
    EXPECT_EQ(GLEntry::glIsImageHandleResidentNV, nullptr);  // vendor names stay null
    EXPECT_EQ(GLEntry::glWindowPos2dMESA, nullptr);

    fake.contextVersion = "4.6 Fake";
    fake.contextExtensions = "";
    EXPECT_TRUE(LoadGLEntryPoints(fake));
    EXPECT_NE(GLEntry::glTexStorage2D, nullptr);
}

TEST(GLExtensionsTest, StandInsReportACompleteFramebuffer) {
    InstallDoNothingFramebufferEntryPoints();
    GLuint name = 42;
    GLEntry::glGenFramebuffers(1, &name);
    GLEntry::glBindFramebuffer(GL_FRAMEBUFFER, name);
    EXPECT_EQ(name, 42u);
    EXPECT_EQ(GLEntry::glCheckFramebufferStatus(GL_FRAMEBUFFER), 0x8CD5u);
}

}  // namespace
