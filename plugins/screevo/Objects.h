// Screevo's three objects: the player, the file identifier and the file
// filter, as version-1 tables.
#pragma once

#include <string>

#include "pluginhost/abi/PlugInAbi.h"

namespace screevo {

struct IdentifierInterface {
  PlugInObjectInterface head;
  BOOL (*FILEIDENTIFIER_Identify)(const char* path);
};

struct FilterInterface {
  PlugInObjectInterface head;
  BOOL (*FILEFILTER_BuildFilter)(void* list);
  BOOL (*FILEFILTER_TestNames)(DWORD patternCount, const char* const* patterns, DWORD nameCount,
                               const char* const* names, BOOL* results);
};

extern const PlayerInterface kPlayerTable;
extern const IdentifierInterface kIdentifierTable;
extern const FilterInterface kFilterTable;

void GetVersion(PlugInVersionInfo* info);

// The text of the filter that lists the table's extensions.
std::string FilterText();

}  // namespace screevo
