// Screevo's module-wide state besides the host table: whether the filter
// graph library is there and its error-text function.
#pragma once

#include <dshow.h>

namespace screevo {

extern bool g_DirectShowUnavailable;
extern AMGetErrorTextAFunction g_GetErrorText;  // null when the library lacks it
extern int32_t g_IdentifierIcon;

}  // namespace screevo
