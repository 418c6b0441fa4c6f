#include "foundation/kernel/DirectSoundError.h"

TWL_IMPLEMENT_CLASS(CDirectSoundError, CError)
