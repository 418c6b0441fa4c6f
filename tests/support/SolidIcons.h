// Icons of one colour, and the colour an image list draws, so that a test
// can tell which picture landed at which index.
#pragma once

#include <windows.h>

namespace twltest {

// A solid icon of one colour, size x size; fails the test when none is made.
HICON SolidIcon(COLORREF colour, int size = 16);
// The colour at the centre of what the list draws for `index` on white.
COLORREF DrawnColour(HIMAGELIST list, int index, UINT style = ILD_TRANSPARENT);

}  // namespace twltest
