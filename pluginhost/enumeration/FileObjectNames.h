// How listings compare the names of their entries: byte by byte as
// unsigned characters, or with the letters A-Z taken as lower case (other
// bytes, UTF-8 sequences included, compare as they are). A name that is a
// prefix of another comes first.
#pragma once

#include <windows.h>

#include <string_view>

#include "pluginhost/abi/PlugInAbi.h"

// -1, 0 or 1.
int CompareFileObjectNames(std::string_view a, std::string_view b, bool noCase);
