// The errors of reading a native playlist file that are not stream errors:
// a file that is not a playlist, and one written for a newer player.
#pragma once

#include <windows.h>

[[noreturn]] void ThrowCorruptedPlayListError();
// `minimumVersion` and this player's version are named as "major.minor".
[[noreturn]] void ThrowNewerPlayListVersionError(DWORD minimumVersion, DWORD playerVersion);
