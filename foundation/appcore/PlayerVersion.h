// The running player's version, as the program's resource "RAWDATA" 134
// gives it: plain text "MAJOR.MINOR build BUILD" ("1.75 build 64"),
// packed as major x 65536 + minor (0x1004B). Skins compare their minimum
// version with it. The text is read once, on first use, from the
// program's module; any thread may ask afterwards.
#pragma once

#include <windows.h>

#include <cstddef>

#include "foundation/kernel/Str.h"

struct PlayerVersion {
  CStr text;
  INT major = -1;
  INT minor = -1;
  INT build = -1;
  DWORD packed = 0;
};

// Splits a version text; a part without digits reads 0, a missing "."
// leaves minor and build -1, and a text without "build " after a blank
// following the minor has build 1.
PlayerVersion ParsePlayerVersion(const char* text, size_t length);

// The version of the program's module. When the resource is missing or a
// number cannot be found, throws the "Fatal resource error".
const PlayerVersion& GetRunningPlayerVersion();
