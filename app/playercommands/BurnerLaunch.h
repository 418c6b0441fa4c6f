// Recording the playlist to CD: the current playlist, flattened to its file
// entries in display order, goes into a temporary native playlist, and the
// separate burner program (its path in "PlayListBurnerPath" of the
// burner's key, the user's first, then the machine's) is started with it.
//
// Threading: the user-interface thread.
#pragma once

#include <windows.h>

#include <string>

#include "foundation/kernel/Str.h"

// A command-line argument in double quotes, so that the Windows way of
// splitting a command line gives it back whole: a double quote inside is
// escaped with a backslash, and backslashes before a quote are doubled.
std::string QuoteCommandArgument(const std::string& text);

// The burner's program; empty when it is not installed (no value, or no
// such file).
CStr FindPlayListBurner();

// Asks about the missing or refused burner (offering the maker's page), or
// starts it; failures are logged. The command line started, else empty.
CStr RecordPlayListToCD(HWND parent);
