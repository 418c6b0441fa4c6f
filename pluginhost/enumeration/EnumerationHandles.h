// The enumeration objects plug-ins hold by handle: the contexts they list
// into and the batches they read. A slot honours a handle only while its
// object is handed out, so a stale or made-up one is refused instead of
// followed. Retiring a handle deletes its object, at once or when the last
// slot using it returns.
//
// Threading: any thread (see HandedOutObjects).
#pragma once

#include "pluginhost/abi/PlugInAbi.h"
#include "pluginhost/handles/HandedOutObjects.h"

class CFileObjectEnumerationContext;
class CFileObjectEnumeration;

using HandedOutEnumContexts = HandedOutObjects<CFileObjectEnumerationContext, HOST_ENUMCONTEXT>;
using HandedOutFileEnums = HandedOutObjects<CFileObjectEnumeration, HOST_FILEENUM>;

HandedOutEnumContexts& GetHandedOutEnumContexts();
HandedOutFileEnums& GetHandedOutFileEnums();
