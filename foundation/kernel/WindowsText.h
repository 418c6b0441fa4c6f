// Text written by the Windows programs: UTF-8 on this system, but files made
// on Windows may hold Windows-1252 bytes. AsUtf8 gives valid UTF-8 as it
// stands and converts any other text from Windows-1252, so that what is read
// is the system's own text. Any thread; no state.
#pragma once

#include <string>

// Throws the out-of-memory error when the converted text cannot be made.
std::string AsUtf8(std::string bytes);
