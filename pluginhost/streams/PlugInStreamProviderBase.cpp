#include "pluginhost/streams/PlugInStreamProviderBase.h"

TWL_IMPLEMENT_CLASS(CPlugInStreamProviderBase, CStreamProvider)
