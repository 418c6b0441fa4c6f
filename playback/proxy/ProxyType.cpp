#include "playback/proxy/ProxyType.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CProxyType, CTypedObject)
