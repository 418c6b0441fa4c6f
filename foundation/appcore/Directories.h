// Whether a path names an existing folder. Paths may use '\' or '/' and
// may end with a separator. Any thread; the current directory is left as
// it is.
#pragma once

bool DirectoryExists(const char* path);
