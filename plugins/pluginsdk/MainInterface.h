// The plug-in's main table, which PLUGIN_GetMainInterface hands the host
// when the plug-in has a main object. Each entry answers as the
// framework's contract says also without one.
#pragma once

#include "pluginhost/abi/PlugInAbi.h"

namespace pluginsdk {

const PlugInMainInterface& GetMainTable();

}  // namespace pluginsdk
