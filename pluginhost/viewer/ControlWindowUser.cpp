#include "pluginhost/viewer/ControlWindowUser.h"

TWL_IMPLEMENT_CLASS(CControlWindowUser, CConfigurableObject)
