#include "foundation/streams/StreamEmulator.h"

TWL_IMPLEMENT_CLASS(CStreamEmulator, CStream)
