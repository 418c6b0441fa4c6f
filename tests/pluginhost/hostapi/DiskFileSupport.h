// Shared by the disk file tests: the host table, a caller handle, and a
// look at the temporary folder.
#pragma once

#include <filesystem>
#include <set>
#include <string>

#include "pluginhost/hostapi/HostApi.h"

namespace diskfiletest {

inline const HostApiTable& Host() { return *GetHostApiTable(); }
inline PLUGIN_HANDLE Caller() { return reinterpret_cast<PLUGIN_HANDLE>(0x40); }

// The names in $TMPDIR.
inline std::set<std::string> TempFolderNames() {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(std::getenv("TMPDIR"))) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

// A host string as a path, freed.
inline std::string TakeName(char* name) {
  std::string path = name ? name : "";
  Host().HOST_Free(name);
  return path;
}

}  // namespace diskfiletest
