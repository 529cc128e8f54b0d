#pragma once
// The GL entry points beyond OpenGL 1.1, written once and expanded into the pointer
// declarations, their definitions and the loading loop.
//
// X(pointer type, name, major, minor, extension): the name counts as present when the
// current context is at least version major.minor or lists the extension. Extension-only
// names carry version 99.0; "" means no extension provides the name.

#define QEL_GL_ENTRY_POINTS(X)                                                                  \
    /* OpenGL 1.2 */                                                                            \
    X(PFNGLBLENDCOLORPROC, glBlendColor, 1, 2, "")                                              \
    X(PFNGLBLENDEQUATIONPROC, glBlendEquation, 1, 2, "")                                        \
    X(PFNGLDRAWRANGEELEMENTSPROC, glDrawRangeElements, 1, 2, "")                                \
    X(PFNGLTEXIMAGE3DPROC, glTexImage3D, 1, 2, "")                                              \
    X(PFNGLTEXSUBIMAGE3DPROC, glTexSubImage3D, 1, 2, "")                                        \
    X(PFNGLCOPYTEXSUBIMAGE3DPROC, glCopyTexSubImage3D, 1, 2, "")                                \
    /* OpenGL 1.3 */                                                                            \
    X(PFNGLACTIVETEXTUREPROC, glActiveTexture, 1, 3, "")                                        \
    X(PFNGLSAMPLECOVERAGEPROC, glSampleCoverage, 1, 3, "")                                      \
    X(PFNGLCOMPRESSEDTEXIMAGE2DPROC, glCompressedTexImage2D, 1, 3, "")                          \
    /* OpenGL 1.4 */                                                                            \
    X(PFNGLBLENDFUNCSEPARATEPROC, glBlendFuncSeparate, 1, 4, "")                                \
    X(PFNGLMULTIDRAWARRAYSPROC, glMultiDrawArrays, 1, 4, "")                                    \
    X(PFNGLMULTIDRAWELEMENTSPROC, glMultiDrawElements, 1, 4, "")                                \
    X(PFNGLPOINTPARAMETERFPROC, glPointParameterf, 1, 4, "")                                    \
    X(PFNGLWINDOWPOS2IPROC, glWindowPos2i, 1, 4, "")                                            \
    /* OpenGL 1.5 */                                                                            \
    X(PFNGLGENQUERIESPROC, glGenQueries, 1, 5, "")                                              \
    X(PFNGLDELETEQUERIESPROC, glDeleteQueries, 1, 5, "")                                        \
    X(PFNGLBINDBUFFERPROC, glBindBuffer, 1, 5, "")                                              \
    X(PFNGLDELETEBUFFERSPROC, glDeleteBuffers, 1, 5, "")                                        \
    X(PFNGLGENBUFFERSPROC, glGenBuffers, 1, 5, "")                                              \
    X(PFNGLISBUFFERPROC, glIsBuffer, 1, 5, "")                                                  \
    X(PFNGLBUFFERDATAPROC, glBufferData, 1, 5, "")                                              \
    X(PFNGLBUFFERSUBDATAPROC, glBufferSubData, 1, 5, "")                                        \
    X(PFNGLMAPBUFFERPROC, glMapBuffer, 1, 5, "")                                                \
    X(PFNGLUNMAPBUFFERPROC, glUnmapBuffer, 1, 5, "")                                            \
    /* OpenGL 2.0 */                                                                            \
    X(PFNGLBLENDEQUATIONSEPARATEPROC, glBlendEquationSeparate, 2, 0, "")                        \
    X(PFNGLDRAWBUFFERSPROC, glDrawBuffers, 2, 0, "")                                            \
    X(PFNGLATTACHSHADERPROC, glAttachShader, 2, 0, "")                                          \
    X(PFNGLCOMPILESHADERPROC, glCompileShader, 2, 0, "")                                        \
    X(PFNGLCREATEPROGRAMPROC, glCreateProgram, 2, 0, "")                                        \
    X(PFNGLCREATESHADERPROC, glCreateShader, 2, 0, "")                                          \
    X(PFNGLDELETEPROGRAMPROC, glDeleteProgram, 2, 0, "")                                        \
    X(PFNGLDELETESHADERPROC, glDeleteShader, 2, 0, "")                                          \
    X(PFNGLGETPROGRAMIVPROC, glGetProgramiv, 2, 0, "")                                          \
    X(PFNGLGETSHADERIVPROC, glGetShaderiv, 2, 0, "")                                            \
    X(PFNGLLINKPROGRAMPROC, glLinkProgram, 2, 0, "")                                            \
    X(PFNGLSHADERSOURCEPROC, glShaderSource, 2, 0, "")                                          \
    X(PFNGLUSEPROGRAMPROC, glUseProgram, 2, 0, "")                                              \
    X(PFNGLGETUNIFORMLOCATIONPROC, glGetUniformLocation, 2, 0, "")                              \
    X(PFNGLUNIFORM1IPROC, glUniform1i, 2, 0, "")                                                \
    X(PFNGLUNIFORMMATRIX4FVPROC, glUniformMatrix4fv, 2, 0, "")                                  \
    X(PFNGLVERTEXATTRIBPOINTERPROC, glVertexAttribPointer, 2, 0, "")                            \
    X(PFNGLENABLEVERTEXATTRIBARRAYPROC, glEnableVertexAttribArray, 2, 0, "")                    \
    X(PFNGLDISABLEVERTEXATTRIBARRAYPROC, glDisableVertexAttribArray, 2, 0, "")                  \
    /* OpenGL 3.0 */                                                                            \
    X(PFNGLGETSTRINGIPROC, glGetStringi, 3, 0, "")                                              \
    X(PFNGLISRENDERBUFFERPROC, glIsRenderbuffer, 3, 0, "GL_ARB_framebuffer_object")             \
    X(PFNGLBINDRENDERBUFFERPROC, glBindRenderbuffer, 3, 0, "GL_ARB_framebuffer_object")         \
    X(PFNGLDELETERENDERBUFFERSPROC, glDeleteRenderbuffers, 3, 0, "GL_ARB_framebuffer_object")   \
    X(PFNGLGENRENDERBUFFERSPROC, glGenRenderbuffers, 3, 0, "GL_ARB_framebuffer_object")         \
    X(PFNGLRENDERBUFFERSTORAGEPROC, glRenderbufferStorage, 3, 0, "GL_ARB_framebuffer_object")   \
    X(PFNGLISFRAMEBUFFERPROC, glIsFramebuffer, 3, 0, "GL_ARB_framebuffer_object")               \
    X(PFNGLBINDFRAMEBUFFERPROC, glBindFramebuffer, 3, 0, "GL_ARB_framebuffer_object")           \
    X(PFNGLDELETEFRAMEBUFFERSPROC, glDeleteFramebuffers, 3, 0, "GL_ARB_framebuffer_object")     \
    X(PFNGLGENFRAMEBUFFERSPROC, glGenFramebuffers, 3, 0, "GL_ARB_framebuffer_object")           \
    X(PFNGLCHECKFRAMEBUFFERSTATUSPROC, glCheckFramebufferStatus, 3, 0,                          \
      "GL_ARB_framebuffer_object")                                                              \
    X(PFNGLFRAMEBUFFERTEXTURE2DPROC, glFramebufferTexture2D, 3, 0, "GL_ARB_framebuffer_object") \
    X(PFNGLFRAMEBUFFERRENDERBUFFERPROC, glFramebufferRenderbuffer, 3, 0,                        \
      "GL_ARB_framebuffer_object")                                                              \
    X(PFNGLGENERATEMIPMAPPROC, glGenerateMipmap, 3, 0, "GL_ARB_framebuffer_object")             \
    X(PFNGLBLITFRAMEBUFFERPROC, glBlitFramebuffer, 3, 0, "GL_ARB_framebuffer_object")           \
    X(PFNGLRENDERBUFFERSTORAGEMULTISAMPLEPROC, glRenderbufferStorageMultisample, 3, 0,          \
      "GL_ARB_framebuffer_object")                                                              \
    X(PFNGLBINDVERTEXARRAYPROC, glBindVertexArray, 3, 0, "GL_ARB_vertex_array_object")          \
    X(PFNGLDELETEVERTEXARRAYSPROC, glDeleteVertexArrays, 3, 0, "GL_ARB_vertex_array_object")    \
    X(PFNGLGENVERTEXARRAYSPROC, glGenVertexArrays, 3, 0, "GL_ARB_vertex_array_object")          \
    X(PFNGLMAPBUFFERRANGEPROC, glMapBufferRange, 3, 0, "GL_ARB_map_buffer_range")               \
    /* ARB extensions */                                                                        \
    X(PFNGLBINDBUFFERARBPROC, glBindBufferARB, 99, 0, "GL_ARB_vertex_buffer_object")            \
    X(PFNGLDELETEBUFFERSARBPROC, glDeleteBuffersARB, 99, 0, "GL_ARB_vertex_buffer_object")      \
    X(PFNGLGENBUFFERSARBPROC, glGenBuffersARB, 99, 0, "GL_ARB_vertex_buffer_object")            \
    X(PFNGLBUFFERDATAARBPROC, glBufferDataARB, 99, 0, "GL_ARB_vertex_buffer_object")            \
    X(PFNGLTEXSTORAGE2DPROC, glTexStorage2D, 4, 2, "GL_ARB_texture_storage")                    \
    /* EXT and vendor extensions */                                                             \
    X(PFNGLISRENDERBUFFEREXTPROC, glIsRenderbufferEXT, 99, 0, "GL_EXT_framebuffer_object")      \
    X(PFNGLBINDRENDERBUFFEREXTPROC, glBindRenderbufferEXT, 99, 0, "GL_EXT_framebuffer_object")  \
    X(PFNGLGENRENDERBUFFERSEXTPROC, glGenRenderbuffersEXT, 99, 0, "GL_EXT_framebuffer_object")  \
    X(PFNGLBINDFRAMEBUFFEREXTPROC, glBindFramebufferEXT, 99, 0, "GL_EXT_framebuffer_object")    \
    X(PFNGLGENFRAMEBUFFERSEXTPROC, glGenFramebuffersEXT, 99, 0, "GL_EXT_framebuffer_object")    \
    X(PFNGLCHECKFRAMEBUFFERSTATUSEXTPROC, glCheckFramebufferStatusEXT, 99, 0,                   \
      "GL_EXT_framebuffer_object")                                                              \
    X(PFNGLBLITFRAMEBUFFEREXTPROC, glBlitFramebufferEXT, 99, 0, "GL_EXT_framebuffer_blit")      \
    X(PFNGLDRAWBUFFERSATIPROC, glDrawBuffersATI, 99, 0, "GL_ATI_draw_buffers")                  \
    X(PFNGLWINDOWPOS2DMESAPROC, glWindowPos2dMESA, 99, 0, "GL_MESA_window_pos")                 \
    X(PFNGLISIMAGEHANDLERESIDENTNVPROC, glIsImageHandleResidentNV, 99, 0, "GL_NV_bindless_texture")
