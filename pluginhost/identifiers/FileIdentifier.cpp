#include "pluginhost/identifiers/FileIdentifier.h"

TWL_IMPLEMENT_CLASS(CFileIdentifier, CConfigurableObject)
