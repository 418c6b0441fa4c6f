// The localised text of a key, as a string of the library: the one way the
// error and log code fetches what it shows.
#pragma once

#include "foundation/kernel/Localizer.h"
#include "foundation/kernel/Str.h"

inline CStr LocalText(const char* key, const char* defaultText) {
  return CStr(GetLocalizer().GetString(key, defaultText));
}
