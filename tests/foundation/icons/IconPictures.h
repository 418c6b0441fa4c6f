// Icons of one colour, and the colour an image list draws, so that a test
// can tell which picture landed at which index.
#pragma once

#include <windows.h>

#include <string>

namespace icontest {

HICON SolidIcon(COLORREF colour, int size = 16);
// The colour at the centre of what the list draws for `index` on white.
COLORREF DrawnColour(HIMAGELIST list, int index);
// Copies one of the player's icon files into the sandbox under `name`.
std::string CopyProgramIcon(const std::string& icon, const std::string& folder, const std::string& name);

}  // namespace icontest
