// Netvarra's stream provider as the host sees it (object kind 1): the
// object head, proxy types, CanOpen and Open routed by scheme and by the
// host's proxy setting to the HTTP provider (and, later, the FTP one), and
// the stream functions that drive the plug-in's streams. Stream handles
// are CStream addresses; every function keeps thrown errors inside and
// reports them as the thread error.
#pragma once

#include "pluginhost/abi/PlugInAbi.h"

namespace netvarra {

const StreamProviderInterface& GetStreamProviderInterface();

}  // namespace netvarra
