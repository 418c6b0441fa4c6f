#include "foundation/containers/DWORDArray.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CDWORDArray, CTypedObject)
