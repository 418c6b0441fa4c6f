// Libraries the layer itself provides under their Windows names
// ("ddraw.dll", "dsound.dll", "quartz.dll", ...). Each stand-in registers its
// library and export table once, from a static object in its own folder;
// LoadLibraryA of such a name then answers a module of the layer whose
// GetProcAddress looks the name up in that table. There is no file behind
// them: GetModuleFileNameA names the library in the system folder.
//
// Registration happens while libtwlwin.so loads (static initialisers); the
// tables are read-only afterwards. The testing header can hide a library or
// one export, so that tests can walk the paths where one is missing; that
// state is guarded by its own lock.
#pragma once

#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "twlwin/modules.h"

namespace twl {

struct SystemExport {
  const char* name;
  FARPROC address;
};

// The version a library reports through the version calls: file and
// product version alike, major.minor in the most significant half,
// build.revision in the least ("4.07" is {0x00040007, 0}).
struct SystemVersion {
  DWORD mostSignificant = 0;
  DWORD leastSignificant = 0;
};

struct SystemLibrary {
  std::string fileName;  // as registered, "ddraw.dll"
  std::vector<SystemExport> exports;
  std::optional<SystemVersion> version;  // none: the library has no version block
  // Run by every LoadLibraryA of the library, before it answers: the
  // library's own start-up (it makes itself idempotent).
  void (*attach)() = nullptr;
  // Asked at every lookup when set: false makes the library missing, as
  // when a configuration of the process says it is not installed.
  bool (*present)() = nullptr;
};

// Registers a library at load time of the layer:
//   static const twl::SystemLibraryRegistration kDirectDraw("ddraw.dll", {...});
//   static const twl::SystemLibraryRegistration kDirectDraw("ddraw.dll", twl::SystemVersion{0x00040007, 0}, {...});
class SystemLibraryRegistration {
 public:
  SystemLibraryRegistration(const char* fileName, std::initializer_list<SystemExport> exports);
  SystemLibraryRegistration(const char* fileName, SystemVersion version, std::initializer_list<SystemExport> exports);
  SystemLibraryRegistration(const char* fileName, void (*attach)(), std::initializer_list<SystemExport> exports);
  SystemLibraryRegistration(const char* fileName, bool (*present)(), std::initializer_list<SystemExport> exports);
};

// The library a LoadLibraryA or GetModuleHandleA name means ("DDRAW.DLL",
// "ddraw", or a path into the system folder), or null when the layer
// provides none of that name or a test hid it.
const SystemLibrary* FindSystemLibrary(const char* name);

// The export's address, or null when the library has none of that name
// (exact case, as GetProcAddress compares) or a test hid it.
FARPROC FindSystemExport(const SystemLibrary& library, const char* name);

// The system folder GetSystemDirectoryA reports: where the layer's own
// libraries are said to live.
const std::string& SystemDirectory();

// Casts any function pointer to the FARPROC an export table holds.
template <typename Function>
FARPROC ExportAddress(Function* function) {
  // Through void(*)(), which the compiler accepts as any function type.
  return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(function));
}

}  // namespace twl
