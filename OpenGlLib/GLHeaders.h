#pragma once
// The GL headers as portable code includes them. Windows' <GL/gl.h> wants the calling
// convention and import macros of <windows.h>; defining the two here, exactly as <windows.h>
// does, keeps <windows.h> (and its macros named RegisterClass, DrawText ...) out of every
// portable file. A backend that includes <windows.h> does so first.

#if defined(_WIN32)
#ifndef APIENTRY
#define APIENTRY __stdcall
#endif
#ifndef WINGDIAPI
#define WINGDIAPI __declspec(dllimport)
#endif
#endif

#include <GL/gl.h>
#include <GL/glext.h>
