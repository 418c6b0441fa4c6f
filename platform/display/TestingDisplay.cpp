// The testing controls of the display's mode and of surface loss.
#include <vector>

#include "DisplayMode.h"
#include "PixelFormats.h"
#include "twlwin/testing_display.h"

using namespace twl::display;

namespace {

bool SoundSize(int width, int height) { return width >= 1 && height >= 1 && width <= kMaxSide && height <= kMaxSide; }

}  // namespace

TWLAPI BOOL TwlTestSetDisplayMode(int width, int height, int bitsPerPixel) {
  Mode mode;
  if (!SoundSize(width, height) || !FormatForDepth(bitsPerPixel, &mode.format)) return FALSE;
  mode.width = width;
  mode.height = height;
  return ChangeMode(mode) ? TRUE : FALSE;
}

TWLAPI BOOL TwlTestSetDisplayPixelFormat(int width, int height, const DDPIXELFORMAT* format) {
  if (!SoundSize(width, height) || !format || format->dwSize != sizeof(DDPIXELFORMAT)) return FALSE;
  Mode mode;
  mode.width = width;
  mode.height = height;
  mode.format = *format;
  return ChangeMode(mode) ? TRUE : FALSE;
}

TWLAPI void TwlTestSetDisplayModes(const TWLTEST_DISPLAYMODE* modes, int count) {
  std::vector<Mode> offered;
  for (int i = 0; modes && i < count; ++i) {
    Mode mode;
    if (!SoundSize(modes[i].width, modes[i].height) || !FormatForDepth(modes[i].bitsPerPixel, &mode.format)) continue;
    mode.width = modes[i].width;
    mode.height = modes[i].height;
    mode.refreshRate = modes[i].refreshRate > 0 ? modes[i].refreshRate : 0;
    offered.push_back(mode);
  }
  SetOfferedModes(std::move(offered));
}

TWLAPI void TwlTestLoseSurfaces() { LoseSurfaces(); }
