// The application's settings key: the registry key (a root and a path below
// it) where the program keeps its settings, window places among them. The
// application core chooses it at start-up; until then it is the product's
// key under HKEY_CURRENT_USER. Any thread may read it or open it.
#pragma once

#include <windows.h>

#include "foundation/kernel/Str.h"

void SetSettingsKey(HKEY root, const char* path);
HKEY GetSettingsRoot();
CStr GetSettingsPath();

// Opens the settings key with the access asked for; a key opened for
// writing is created when it does not exist yet. On failure the calling
// thread's error says so ("RegistryError.OpenKey") and the result is false.
// The caller closes the key (RegCloseKey).
bool OpenSettingsKey(REGSAM access, HKEY* key);
