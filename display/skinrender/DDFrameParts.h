// The frame parts of the control window and the auxiliary window frame are
// kept in memory rather than in surfaces, since painting stretches or
// tiles them to the window's size: each picture and mask is taken over
// from the description and the picture converted to the display format.
#pragma once

#include "display/state/DisplayLock.h"

class CDIBitmap;
class CMask;

// Converts a taken-over part in place, under the display lock; without a
// display state the part stays as it is.
void ConvertFramePart(CDIBitmap& part);
void ReleaseFramePart(CDIBitmap*& part) noexcept;
void DeleteFrameMask(CMask*& mask) noexcept;

// Takes `count` parts and masks over from a frame description, which keeps
// none of them, and converts the parts.
template <class Description>
void TakeFrameParts(Description& description, CDIBitmap** parts, CMask** masks, int count) {
  DisplayLockScope lock;
  for (int index = 0; index < count; ++index) {
    masks[index] = description.GetMask(index);
    description.SetMask(index, nullptr);
    parts[index] = description.GetPart(index);
    description.SetPart(index, nullptr);
    if (parts[index]) ConvertFramePart(*parts[index]);
  }
}
