// The skin's list and tree colours as the skin describes them (RGB), read
// under the display lock: black on white while no skin is loaded.
#pragma once

#include <windows.h>

struct SkinViewColors {
  COLORREF background;
  COLORREF text;
};

SkinViewColors GetSkinListColors();
SkinViewColors GetSkinTreeColors();
