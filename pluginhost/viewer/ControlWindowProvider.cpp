#include "pluginhost/viewer/ControlWindowProvider.h"

TWL_IMPLEMENT_CLASS(CControlWindowProvider, CConfigurableObject)
