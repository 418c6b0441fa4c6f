#include "pluginhost/filters/FileFilter.h"

TWL_IMPLEMENT_CLASS(CFileFilter, CConfigurableObject)
