#include "display/window/WindowOwner.h"

TWL_IMPLEMENT_CLASS(CWindowOwner, CTypedObject)
