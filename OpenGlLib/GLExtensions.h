#pragma once
// Process-wide pointers to the GL entry points beyond OpenGL 1.1, filled once from the first
// window's context.

#include "OpenGlLib/GLHeaders.h"

#include <string_view>

#include "OpenGlLib/GLEntryPoints.h"

namespace Kor {

class WindowSystem;

namespace GLEntry {
#define QEL_GL_DECLARE_ENTRY(type, name, major, minor, extension) extern type name;
QEL_GL_ENTRY_POINTS(QEL_GL_DECLARE_ENTRY)
#undef QEL_GL_DECLARE_ENTRY
}  // namespace GLEntry

// Whether a context reporting this version and extension list offers a name that needs at
// least major.minor or the extension ("" for none).
bool ContextOffers(std::string_view version, std::string_view extensions, int major, int minor,
                   std::string_view extension);

// Looks every name up with the current context and keeps it only where that context offers
// it (a dispatching GL library answers every lookup). True when glCheckFramebufferStatus is
// present.
bool LoadGLEntryPoints(WindowSystem& system);

// Framebuffer and renderbuffer stand-ins for a context without them: they do nothing, and
// the status query reports a complete framebuffer.
void InstallDoNothingFramebufferEntryPoints();

}  // namespace Kor
