#include "OpenGlLib/GLExtensions.h"

#include <charconv>

#include "OpenGlLib/WindowSystem.h"

namespace Kor {

namespace GLEntry {
#define QEL_GL_DEFINE_ENTRY(type, name, major, minor, extension) type name = nullptr;
QEL_GL_ENTRY_POINTS(QEL_GL_DEFINE_ENTRY)
#undef QEL_GL_DEFINE_ENTRY
}  // namespace GLEntry

namespace {

// "4.5 (Compatibility Profile) Mesa 22.3.6" or "OpenGL ES 3.2 Mesa ...": the first
// "major.minor" in the text.
void parseVersion(std::string_view version, int& major, int& minor) {
    major = 0;
    minor = 0;
    size_t start = version.find_first_of("0123456789");
    if (start == std::string_view::npos) {
        return;
    }
    const char* begin = version.data() + start;
    const char* end = version.data() + version.size();
    auto [afterMajor, error] = std::from_chars(begin, end, major);
    if (error != std::errc() || afterMajor == end || *afterMajor != '.') {
        major = 0;
        return;
    }
    if (std::from_chars(afterMajor + 1, end, minor).ec != std::errc()) {
        minor = 0;
    }
}

bool listsExtension(std::string_view extensions, std::string_view extension) {
    size_t at = 0;
    while ((at = extensions.find(extension, at)) != std::string_view::npos) {
        const size_t after = at + extension.size();
        const bool startsWord = at == 0 || extensions[at - 1] == ' ';
        const bool endsWord = after == extensions.size() || extensions[after] == ' ';
        if (startsWord && endsWord) {
            return true;
        }
        at = after;
    }
    return false;
}

void APIENTRY genNothing(GLsizei, GLuint*) {}
void APIENTRY bindNothing(GLenum, GLuint) {}
void APIENTRY storeNothing(GLenum, GLenum, GLsizei, GLsizei) {}
void APIENTRY attachNothing(GLenum, GLenum, GLenum, GLuint) {}
void APIENTRY attachTextureNothing(GLenum, GLenum, GLenum, GLuint, GLint) {}
GLenum APIENTRY framebufferComplete(GLenum) {
    return GL_FRAMEBUFFER_COMPLETE;
}

}  // namespace

bool ContextOffers(std::string_view version, std::string_view extensions, int major, int minor,
                   std::string_view extension) {
    int haveMajor = 0, haveMinor = 0;
    parseVersion(version, haveMajor, haveMinor);
    if (haveMajor > major || (haveMajor == major && haveMinor >= minor)) {
        return true;
    }
    return !extension.empty() && listsExtension(extensions, extension);
}

bool LoadGLEntryPoints(WindowSystem& system) {
    const std::string version = system.ContextVersion();
    const std::string extensions = system.ContextExtensions();
#define QEL_GL_LOAD_ENTRY(type, name, major, minor, extension)            \
    GLEntry::name = reinterpret_cast<type>(system.GetProcAddress(#name)); \
    if (!ContextOffers(version, extensions, major, minor, extension)) {   \
        GLEntry::name = nullptr;                                          \
    }
    QEL_GL_ENTRY_POINTS(QEL_GL_LOAD_ENTRY)
#undef QEL_GL_LOAD_ENTRY
    return GLEntry::glCheckFramebufferStatus != nullptr;
}

void InstallDoNothingFramebufferEntryPoints() {
    GLEntry::glGenFramebuffers = genNothing;
    GLEntry::glBindFramebuffer = bindNothing;
    GLEntry::glGenRenderbuffers = genNothing;
    GLEntry::glBindRenderbuffer = bindNothing;
    GLEntry::glRenderbufferStorage = storeNothing;
    GLEntry::glFramebufferRenderbuffer = attachNothing;
    GLEntry::glFramebufferTexture2D = attachTextureNothing;
    GLEntry::glCheckFramebufferStatus = framebufferComplete;
}

}  // namespace Kor
