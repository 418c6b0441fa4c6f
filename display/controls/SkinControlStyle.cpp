#include "display/controls/SkinControlStyle.h"

#include "display/skinrender/DDSkin.h"

namespace {

// Fonts 2-5 of the skin's font set; colours 3, 4 and 1 of its colour set.
constexpr int kFirstButtonFont = 2;
constexpr int kFrameLightColor = 3;
constexpr int kFrameShadowColor = 4;
constexpr int kHighlightColor = 1;

}  // namespace

bool FillSkinControlStyle(const CDDSkin* skin, SkinControlStyle& style) {
  style = SkinControlStyle{};
  if (!skin || !skin->IsLoaded()) return false;
  for (int state = 0; state < 4; ++state) style.fonts[state] = skin->GetFontSet().GetFont(kFirstButtonFont + state);
  style.light = skin->GetColorSet().GetColor(kFrameLightColor);
  style.shadow = skin->GetColorSet().GetColor(kFrameShadowColor);
  style.focusColor = skin->GetColorSet().GetColor(kHighlightColor);
  return true;
}
