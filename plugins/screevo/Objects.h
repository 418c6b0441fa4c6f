// Screevo's three objects: the player, the file identifier and the file
// filter, as version-1 tables.
#pragma once

#include <string>

#include "pluginhost/abi/PlugInAbi.h"

namespace screevo {

extern const PlayerInterface kPlayerTable;
extern const FileIdentifierInterface kIdentifierTable;
extern const FileFilterInterface kFilterTable;

void GetVersion(PlugInVersionInfo* info);

// The text of the filter that lists the table's extensions.
std::string FilterText();

}  // namespace screevo
