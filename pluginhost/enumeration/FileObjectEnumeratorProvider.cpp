#include "pluginhost/enumeration/FileObjectEnumeratorProvider.h"

#include "pluginhost/enumeration/FileObjectEnumerator.h"

TWL_IMPLEMENT_CLASS(CFileObjectEnumerator, CTypedObject)
TWL_IMPLEMENT_CLASS(CFileObjectEnumeratorProvider, CConfigurableObject)
