// File types in the registry's classes root, as the tests set them up:
// the user's "Software\Classes", which the classes root shows.
#pragma once

#include <windows.h>

#include <string>

namespace icontest {

// Sets the unnamed value of the key to the bytes, as they are.
void SetClassesValue(const std::string& subKey, DWORD type, const std::string& bytes);

// ".ext" -> type, and the type's "\DefaultIcon" -> location (REG_SZ with
// its terminator).
void RegisterFileType(const std::string& extension, const std::string& type, const std::string& location);

}  // namespace icontest
