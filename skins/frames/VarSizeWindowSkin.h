// CVarSizeWindowSkin: the common base of the descriptions of windows whose
// size can change (the auxiliary window frame and the control window). It
// adds nothing to the skin element base; it is registered, abstract, so
// that its two subclasses, which name it as their base, complete their
// registration.
#pragma once

#include "skins/base/SkinBase.h"

class CVarSizeWindowSkin : public CSkinBase {
  TWL_DECLARE_CLASS(CVarSizeWindowSkin)
 public:
  // Expansion types of the middle parts when the window grows.
  static constexpr INT kStretch = 0;
  static constexpr INT kTile = 1;

 protected:
  CVarSizeWindowSkin() noexcept = default;
};
