#include "foundation/kernel/DirectDrawError.h"

TWL_IMPLEMENT_CLASS(CDirectDrawError, CError)
