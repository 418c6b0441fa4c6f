#include "pluginhost/objects/ConfigurableObject.h"

TWL_IMPLEMENT_CLASS(CConfigurableObject, CTypedObject)
