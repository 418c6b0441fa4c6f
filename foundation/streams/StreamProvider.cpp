#include "foundation/streams/StreamProvider.h"

TWL_IMPLEMENT_CLASS(CStreamProvider, CTypedObject)
