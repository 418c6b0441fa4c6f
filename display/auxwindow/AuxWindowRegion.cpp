// The aux window's outline: a byte mask of the frame at the window's size
// and the window region made from it.
#include <new>

#include "display/auxwindow/AuxWindow.h"
#include "display/frames/FramePainting.h"
#include "display/masks/RegionCreator.h"
#include "display/skinrender/DDSkin.h"
#include "display/state/DisplayLock.h"
#include "display/window/WindowHost.h"
#include "foundation/appcore/LogFront.h"
#include "foundation/appcore/StepTiming.h"
#include "foundation/appcore/ThreadErrorLog.h"
#include "foundation/errors/LocalText.h"
#include "foundation/errors/ThreadErrorState.h"
#include "skins/masks/Mask.h"

bool CAuxWindow::CreateWindowMask(BYTE*& mask, int width, int height) const {
  TimedStep timing("create window mask");
  DisplayLockScope lock;
  mask = nullptr;
  const CDDAuxWindowSkin& frame = GetWindowHost().GetDDSkin().GetAuxWindowSkin();
  bool anyMask = false;
  for (int index = 0; index < CDDAuxWindowSkin::kPartCount; ++index) anyMask = anyMask || frame.GetMask(index);
  if (!anyMask || width < 1 || height < 1) return true;
  BYTE* bytes = new (std::nothrow) BYTE[static_cast<size_t>(width) * height];
  if (!bytes) {
    SetThreadError(7, 2, GetMiscErrorText(2).c_str());
    return false;
  }
  if (!PaintAuxFrameMask(bytes, width, 0, 0, width, height, nullptr)) {
    delete[] bytes;
    return false;
  }
  mask = bytes;
  return true;
}

void CAuxWindow::CreateWindowRegion() {
  const int width = GetWidth(), height = GetHeight();
  BYTE* bytes = nullptr;
  if (!CreateWindowMask(bytes, width, height)) {
    LogThreadError(LOG_CATEGORY_WARNING,
                   LocalText("CAuxWindow.CreateWindowMask", "Unable to create window mask. Window will be rectangular")
                       .c_str());
    bytes = nullptr;
  }
  HRGN region = nullptr;
  if (bytes) {
    CMask mask;
    mask.Attach(bytes, width, height);
    if (!CreateRegionFromMask(&region, &mask)) {
      LogFormat(LOG_CATEGORY_WARNING, "%s\n",
                LocalText("CAuxWindow::CreateWindowRegion", "Error creating window region. Window will be rectangular")
                    .c_str());
      region = nullptr;
    }
    mask.Detach();
    delete[] bytes;
  }
  SetWindowRgn(GetWindowHandle(), region, TRUE);
}
