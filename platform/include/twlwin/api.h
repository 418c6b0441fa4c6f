// Export marker of the platform layer: the library is built with hidden
// visibility and exports exactly what is declared with TWLAPI.
#pragma once

#if defined(TWLWIN_BUILDING)
#define TWLAPI extern "C" __attribute__((visibility("default")))
#define TWLCPP __attribute__((visibility("default")))
#else
#define TWLAPI extern "C"
#define TWLCPP
#endif

// The calling-convention words of the Windows names mean nothing on x86-64
// Linux: every call uses the platform's one convention.
#define WINAPI
#define CALLBACK
#define APIENTRY
#define __stdcall
#define __cdecl
