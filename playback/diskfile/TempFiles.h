// New temporary files of the program: "<temp folder><prefix><counter><suffix>"
// with the first counter from 0 to 99999 (at least four digits) whose name
// is free, created new for writing. Any thread.
#pragma once

#include <windows.h>

#include "foundation/kernel/Str.h"

// The new file's name; `file` (when given) receives its handle, otherwise
// the file is closed again. Throws "Unable to create temporary file" when
// no name is free or the file cannot be made, and "Unable to retrieve
// directory for temporary files." without a temporary folder.
CStr CreateTempFile(const char* prefix, const char* suffix, HANDLE* file);
