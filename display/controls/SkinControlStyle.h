// The style in which windows draw their text buttons: the skin's button
// fonts for the four states (normal, hover, down, disabled) and its frame
// light, frame shadow and highlight colours as display pixel values.
// Read under the display lock.
#pragma once

#include <windows.h>

class CDDSkin;
class CDDWriter;

struct SkinControlStyle {
  CDDWriter* fonts[4];
  DWORD light;
  DWORD shadow;
  DWORD focusColor;
};

// Fills the style from a built skin; false, with the style zeroed, when
// there is no loaded skin.
bool FillSkinControlStyle(const CDDSkin* skin, SkinControlStyle& style);
