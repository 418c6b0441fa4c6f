// The version-2 function tables of the three kinds of object, shared by
// every object of a kind. Each entry takes the object as its context and
// calls the matching virtual operation, keeping every exception inside the
// plug-in; boolean answers are exactly 0 or 1.
#pragma once

#include "pluginhost/abi/PlugInAbi.h"

namespace pluginsdk {

extern const PlayerInterface2 kPlayerTable;
extern const FileIdentifierInterface2 kFileIdentifierTable;
extern const FileFilterInterface2 kFileFilterTable;

}  // namespace pluginsdk
