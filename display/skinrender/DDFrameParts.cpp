#include "display/skinrender/DDFrameParts.h"

#include "display/state/DisplayLock.h"
#include "display/state/DisplayState.h"
#include "foundation/bitmaps/DIBitmap.h"
#include "skins/masks/Mask.h"

void ConvertFramePart(CDIBitmap& part) {
  DisplayLockScope lock;
  const CDisplayState* display = CDisplayState::GetCurrent();
  if (display && part.HasPixels()) part.ChangeFormat(display->GetFormat(), display->GetColorTable());
}

void ReleaseFramePart(CDIBitmap*& part) noexcept {
  if (part) part->Release();
  part = nullptr;
}

void DeleteFrameMask(CMask*& mask) noexcept {
  delete mask;
  mask = nullptr;
}
