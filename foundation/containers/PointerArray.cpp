#include "foundation/containers/PointerArray.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CPointerArray, CTypedObject)
