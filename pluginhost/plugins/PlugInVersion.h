// The player's version as plug-ins see it and the rule by which the host
// accepts a plug-in or one of its objects. Any thread.
#pragma once

#include <windows.h>

#include "foundation/kernel/Str.h"
#include "pluginhost/abi/PlugInAbi.h"

// 1.75, packed as (major << 16) | minor.
DWORD GetPlayerVersion();

// Refused only when both the required player version and the API version
// are above the player's (unsigned comparison): a plug-in that asks for a
// newer player but speaks an API this one knows is still taken.
bool IsVersionSupported(const PlugInVersionInfo& version);

// "Unable to use plugin because it requires player version 1.80 or
// higher. ..." for a refused plug-in or object.
CStr GetHigherPlayerVersionRequiredText(DWORD requiredPlayerVersion);

// Version 2 is spoken with a plug-in whose API version is above
// PLUGIN_API_VERSION_2 and that fills PLUGIN_EnumObjects.
bool SpeaksVersion2(const PlugInVersionInfo& version, const PlugInMainInterface& table);
