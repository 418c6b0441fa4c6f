// The title of a file named by a URL or path, as playlists show it: the
// name after the last "/" or "\" without its last extension.
#pragma once

#include "foundation/kernel/Str.h"

// The text after the last "/" or "\" (the whole text when there is none),
// cut before its last "." (whole when it has none). Null gives empty.
CStr GetFileTitle(const char* url);
