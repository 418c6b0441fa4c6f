#include "display/skinviews/SkinViewColors.h"

#include "display/skinrender/DDSkin.h"
#include "display/state/DisplayLock.h"
#include "display/window/WindowHost.h"

namespace {

// Skin colour set entries.
constexpr int kListBackground = 14;
constexpr int kListText = 15;
constexpr int kTreeBackground = 17;
constexpr int kTreeText = 18;

SkinViewColors ReadColors(int background, int text) {
  DisplayLockScope lock;
  const CDDSkinColorSet& colors = GetWindowHost().GetDDSkin().GetColorSet();
  if (!colors.IsCreated()) return SkinViewColors{RGB(255, 255, 255), RGB(0, 0, 0)};
  return SkinViewColors{colors.GetSourceColor(background), colors.GetSourceColor(text)};
}

}  // namespace

SkinViewColors GetSkinListColors() { return ReadColors(kListBackground, kListText); }
SkinViewColors GetSkinTreeColors() { return ReadColors(kTreeBackground, kTreeText); }
