#include "foundation/containers/StrArray.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CStrArray, CTypedObject)
