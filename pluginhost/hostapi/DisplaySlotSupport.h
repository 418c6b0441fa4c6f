// What the display slots share: the display objects the user interface
// installed, whether the display mode is unusable, and the error a slot
// leaves when the display has nothing to give.
//
// Called under the display lock.
#pragma once

#include <windows.h>

class CDDSkin;

namespace hostapi {

// True while the display's pixel format is not RGB or is palettized below
// 8 bits: nothing can be drawn.
bool IsDisplayModeUnusable();

// The skin the windows draw with; null without a display. Its colour and
// font sets may not be made yet.
CDDSkin* GetDrawableSkin();

// The thread error of a display object that cannot be had: DirectDraw's
// DDERR_UNSUPPORTEDMODE while the display mode is unusable, else a general
// error with the localised text.
void SetDisplayUnavailableError(const char* key, const char* defaultText);

}  // namespace hostapi
