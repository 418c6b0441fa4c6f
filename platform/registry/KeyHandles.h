// Open registry keys behind HKEY values. A handle names a key of one hive
// by its row, or, below HKEY_CLASSES_ROOT, a path that is looked up again
// in the user's and the machine's classes keys at every call.
// Thread-safe.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "twlwin/registry.h"

namespace twl::registry {

enum class Hive { CurrentUser, LocalMachine, Classes };

struct OpenKey {
  Hive hive = Hive::CurrentUser;
  int64_t row = 0;                // CurrentUser, LocalMachine: the key's row
  std::vector<std::string> path;  // Classes: the path below Software\Classes
  REGSAM access = 0;              // KEY_* rights, generic rights mapped
  bool predefined = false;
};

// The key behind a handle; ERROR_INVALID_HANDLE when there is none.
LONG FindKey(HKEY handle, OpenKey& key);
// A new handle for `key`; null when the table is full.
HKEY InsertKey(OpenKey key);
LONG CloseKey(HKEY handle);

// The KEY_* rights that an access mask asks for, generic rights included.
REGSAM RequestedRights(REGSAM access);

}  // namespace twl::registry
