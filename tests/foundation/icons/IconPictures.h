// Icons of one colour, and the colour an image list draws, so that a test
// can tell which picture landed at which index; the player's icon files.
#pragma once

#include <windows.h>

#include <string>

#include "support/SolidIcons.h"

namespace icontest {

using twltest::DrawnColour;
using twltest::SolidIcon;
// Copies one of the player's icon files into the sandbox under `name`.
std::string CopyProgramIcon(const std::string& icon, const std::string& folder, const std::string& name);

}  // namespace icontest
