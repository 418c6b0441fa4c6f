// Loading a system library at run time and taking its entry points, for the
// DirectDraw and DirectSound loaders: the program does not link against
// either, so that it can say clearly which part is missing.
//
// Threading: called on the user-interface thread during start-up.
#pragma once

#include <windows.h>

#include <span>

// Texts of a library's failures, as keys with their defaults.
struct LibraryTexts {
  const char* fileName;  // "ddraw.dll"
  const char* captionKey;
  const char* loadFailedKey;
  const char* loadFailedText;
};

struct EntryPoint {
  const char* name;  // the export
  const char* missingKey;
  const char* missingText;
  FARPROC* address;  // where the address goes
};

// Loads the library and fills every entry point, in order. Throws a CError
// (caption "Fatal error") when the library cannot be loaded or an entry
// point is missing; the library is then let go again and no address is
// filled, so that a later call starts over.
HMODULE LoadLibraryEntryPoints(const LibraryTexts& texts, std::span<const EntryPoint> entryPoints);

// An entry point's address as the function type it has.
template <typename Function>
Function EntryPointAs(FARPROC address) {
  // Through void(*)(), which converts to any function type without a
  // warning about the types.
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(address));
}
