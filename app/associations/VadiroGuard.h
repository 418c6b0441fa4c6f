// Another player, Vadiro, can take back the file extensions it lists
// ("extlist" of its Vadiro.ini) whenever another program registers them.
// Before the player registers extensions it takes them out of that list,
// so that they stay registered.
//
// Threading: the user-interface thread.
#pragma once

#include <string>

#include "foundation/kernel/Str.h"
#include "playback/player/FileExtensionEnum.h"

// The folder Vadiro's uninstaller lives in, from its "UninstallString"
// (machine first, then user), ending in "\"; empty when it is not
// installed.
CStr FindVadiroFolder();
// Takes the first item equal to each marked extension (without regard to
// case), with the colon after it, out of a colon-separated list; true when
// anything went.
bool RemoveMarkedExtensions(std::string& list, const CFileExtensionEnum& extensions);
// The whole guard: true when Vadiro's list was changed and written back.
// The list is read whole however long it is; one that cannot be read
// whole is left alone.
bool GuardAgainstVadiro(const CFileExtensionEnum& extensions);
