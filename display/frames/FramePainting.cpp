#include "display/frames/FramePainting.h"

#include "display/directx/DirectDrawFailure.h"
#include "display/frames/FrameCells.h"
#include "display/frames/FrameGeometry.h"
#include "display/skinrender/DDSkin.h"
#include "display/skinrender/DDWriter.h"
#include "display/state/DisplayLock.h"
#include "display/window/WindowHost.h"
#include "foundation/bitmaps/BitmapStretcher.h"
#include "foundation/bitmaps/DIBitmap.h"
#include "foundation/errors/ThreadErrorState.h"
#include "skins/masks/Mask.h"

namespace {

constexpr INT kPartCount = 9;

FramePicture PictureOf(const CDIBitmap* part) {
  if (!part || !part->HasPixels()) return {};
  const INT stride = static_cast<INT>(part->GetBytesPerRow() + part->GetRowPadding());
  const INT height = static_cast<INT>(part->GetHeight());
  const BYTE* pixels = part->GetPixels();
  if (part->IsTopDown()) return {pixels, stride, static_cast<INT>(part->GetWidth()), height};
  return {pixels + static_cast<ptrdiff_t>(height - 1) * stride, -stride, static_cast<INT>(part->GetWidth()), height};
}

// A mask's picture, or (no mask) the sizes of the part with no pixels. The
// layout follows the parts, so a mask of another size than its part counts
// as none: all of the part is inside.
FramePicture MaskPictureOf(const CMask* mask, const CDIBitmap* part) {
  const INT width = part ? static_cast<INT>(part->GetWidth()) : 0;
  const INT height = part ? static_cast<INT>(part->GetHeight()) : 0;
  if (mask && mask->GetBytes() && mask->GetWidth() == width && mask->GetHeight() == height)
    return {mask->GetBytes(), width, width, height};
  return {nullptr, 0, width, height};
}

// Parts converted for another display mode than the surface's would be
// read past their rows.
bool PartsMatchTarget(const CDIBitmap* const* parts, int count, const FrameTarget& target) {
  for (int index = 0; index < count; ++index)
    if (static_cast<INT>((parts[index]->GetFormat().bitsPerPixel + 7) / 8) != target.bytesPerPixel) return false;
  return true;
}

FrameSpread SpreadOf(INT expansionType) { return expansionType == 1 ? FrameSpread::kTile : FrameSpread::kStretch; }

// Null means the whole window. -1: invalid, 0: empty, 1: something to paint.
int CheckClip(const RECT* clip, INT width, INT height, RECT& area) {
  area = clip ? *clip : RECT{0, 0, width, height};
  if (area.right < area.left || area.bottom < area.top || area.left < 0 || area.top < 0 || area.right > width ||
      area.bottom > height)
    return -1;
  return area.left == area.right || area.top == area.bottom ? 0 : 1;
}

void SetInvalidClipError() { SetThreadError(7, 1, GetMiscErrorText(1).c_str()); }

const CDDAuxWindowSkin* AuxSkinWithParts() {
  const CDDAuxWindowSkin& skin = GetWindowHost().GetDDSkin().GetAuxWindowSkin();
  for (int index = 0; index < kPartCount; ++index)
    if (!skin.GetPart(index)) return nullptr;
  return &skin;
}

const CDDControlWindowSkin* ControlSkinWithParts() {
  CWindowHost& ui = GetWindowHost();
  const CDDControlWindowSkin& skin = ui.GetDDSkin().GetControlWindowSkin(ui.GetMode());
  for (int index = 0; index < CDDControlWindowSkin::kPartCount; ++index)
    if (!skin.GetPart(index)) return nullptr;
  return &skin;
}

FramePainter PainterFor(CBitmapStretcher& stretcher, const CDIBitmap& first, bool masks) {
  CPixelFormat format;
  if (masks)
    format.SetIndexed(8, nullptr);
  else
    format = first.GetFormat();
  stretcher.SetFormat(format);
  return FramePainter{&stretcher, !masks && !format.IsPalettized()};
}

HRESULT LockTarget(IDirectDrawSurface2* surface, INT x, INT y, const RECT& area, FrameTarget& target,
                   DDSURFACEDESC& desc) {
  RECT locked{x, y, x + area.right - area.left, y + area.bottom - area.top};
  desc = DDSURFACEDESC{};
  desc.dwSize = sizeof desc;
  if (HRESULT result = surface->Lock(&locked, &desc, DDLOCK_WAIT | DDLOCK_WRITEONLY, nullptr); FAILED(result))
    return result;
  target.origin = static_cast<BYTE*>(desc.lpSurface);
  target.pitch = desc.lPitch;
  target.bytesPerPixel = static_cast<INT>((desc.ddpfPixelFormat.dwRGBBitCount + 7) / 8);
  target.clip = area;
  return DD_OK;
}

HRESULT PaintCaption(IDirectDrawSurface2* surface, INT x, INT y, INT width, const CDDAuxWindowSkin& skin,
                     const char* caption, const RECT& area, const FramePicture (&parts)[kPartCount], INT height) {
  const CDDWriter* writer = skin.GetCaptionWriter(GetWindowHost().GetDDSkin());
  if (!writer) return DDERR_SURFACELOST;
  const INT textWidth = caption ? writer->GetTextWidth(caption) : 0;
  if (textWidth == 0) return DD_OK;
  RECT rect = skin.GetCaptionRect();
  if (rect.left == 0 && rect.top == 0 && rect.right == 0 && rect.bottom == 0) {
    rect = RECT{0, 0, width, parts[1].height};
  } else {
    const FrameSpan across{parts[3].width, parts[4].width, parts[5].width};
    const FrameSpan down{parts[1].height, parts[4].height, parts[7].height};
    rect = RECT{FrameToStretched(rect.left, across, width), FrameToStretched(rect.top, down, height),
                FrameToStretched(rect.right, across, width), FrameToStretched(rect.bottom, down, height)};
  }
  const INT left = rect.left + ((rect.right - textWidth - rect.left) >> 1);
  const INT top = rect.top + ((rect.bottom - writer->GetHeight() - rect.top) >> 1);
  const RECT box{left, top, left + textWidth, top + writer->GetHeight()};
  if (box.right <= area.left || box.left >= area.right || box.bottom <= area.top || box.top >= area.bottom) return DD_OK;
  return writer->WriteText(surface, x + left - area.left, y + top - area.top, caption, DDBLT_WAIT | DDBLT_KEYSRC,
                           nullptr);
}

}  // namespace

HRESULT PaintAuxFrame(IDirectDrawSurface2* surface, INT x, INT y, INT width, INT height, const char* caption,
                      const RECT* clip) {
  DisplayLockScope lock;
  const CDDAuxWindowSkin* skin = AuxSkinWithParts();
  if (!skin) return DDERR_SURFACELOST;
  RECT area;
  const int clipState = CheckClip(clip, width, height, area);
  if (clipState < 0) return E_INVALIDARG;
  if (clipState == 0) return DD_OK;
  FramePicture parts[kPartCount];
  for (int index = 0; index < kPartCount; ++index) parts[index] = PictureOf(skin->GetPart(index));
  CBitmapStretcher stretcher;
  const FramePainter painter = PainterFor(stretcher, *skin->GetPart(0), false);
  FrameTarget target;
  DDSURFACEDESC desc;
  if (HRESULT result = LockTarget(surface, x, y, area, target, desc); FAILED(result)) return result;
  const CDIBitmap* pictures[kPartCount];
  for (int index = 0; index < kPartCount; ++index) pictures[index] = skin->GetPart(index);
  if (!PartsMatchTarget(pictures, kPartCount, target)) {
    surface->Unlock(desc.lpSurface);
    return DDERR_WRONGMODE;
  }
  PaintNinePartFrame(target, painter, parts, width, height, SpreadOf(skin->GetHorzExpansionType()),
                 SpreadOf(skin->GetVertExpansionType()), false);
  if (HRESULT result = surface->Unlock(desc.lpSurface); FAILED(result)) return result;
  return PaintCaption(surface, x, y, width, *skin, caption, area, parts, height);
}

bool PaintAuxFrameMask(BYTE* bytes, INT pitch, INT x, INT y, INT width, INT height, const RECT* clip) {
  DisplayLockScope lock;
  const CDDAuxWindowSkin* skin = AuxSkinWithParts();
  if (!skin) {
    SetDirectDrawThreadError(DDERR_SURFACELOST);
    return false;
  }
  RECT area;
  const int clipState = CheckClip(clip, width, height, area);
  bool anyMask = false;
  for (int index = 0; index < kPartCount; ++index) anyMask = anyMask || skin->GetMask(index);
  if (clipState < 0) {
    SetInvalidClipError();
    return false;
  }
  if (clipState == 0) return true;
  FrameTarget target{bytes + static_cast<ptrdiff_t>(y) * pitch + x, pitch, 1, area};
  if (!anyMask) {
    FillFrameCell(target, area, 1);
    return true;
  }
  FramePicture masks[kPartCount];
  for (int index = 0; index < kPartCount; ++index)
    masks[index] = MaskPictureOf(skin->GetMask(index), skin->GetPart(index));
  CBitmapStretcher stretcher;
  const FramePainter painter = PainterFor(stretcher, *skin->GetPart(0), true);
  PaintNinePartFrame(target, painter, masks, width, height, SpreadOf(skin->GetHorzExpansionType()),
                 SpreadOf(skin->GetVertExpansionType()), true);
  return true;
}

INT GetControlWindowColumnWidth() {
  DisplayLockScope lock;
  const CDDControlWindowSkin* skin = ControlSkinWithParts();
  return skin ? static_cast<INT>(skin->GetPart(0)->GetWidth()) : 0;
}

HRESULT PaintControlWindowColumn(IDirectDrawSurface2* surface, INT x, INT y, const RECT* clip, INT height) {
  DisplayLockScope lock;
  const CDDControlWindowSkin* skin = ControlSkinWithParts();
  if (!skin || height < 0) return DDERR_SURFACELOST;
  const INT width = static_cast<INT>(skin->GetPart(0)->GetWidth());
  RECT area;
  const int clipState = CheckClip(clip, width, height, area);
  if (clipState < 0) return E_INVALIDARG;
  if (clipState == 0) return DD_OK;
  const FrameColumn column{{PictureOf(skin->GetPart(0)), PictureOf(skin->GetPart(1)), PictureOf(skin->GetPart(2))}};
  CBitmapStretcher stretcher;
  const FramePainter painter = PainterFor(stretcher, *skin->GetPart(0), false);
  FrameTarget target;
  DDSURFACEDESC desc;
  if (HRESULT result = LockTarget(surface, x, y, area, target, desc); FAILED(result)) return result;
  const CDIBitmap* pictures[3] = {skin->GetPart(0), skin->GetPart(1), skin->GetPart(2)};
  if (!PartsMatchTarget(pictures, 3, target)) {
    surface->Unlock(desc.lpSurface);
    return DDERR_WRONGMODE;
  }
  PaintFrameColumn(target, painter, column, 0, width, height, FrameSpread::kTile, SpreadOf(skin->GetSizeMode()), false,
                   1);
  return surface->Unlock(desc.lpSurface);
}

bool PaintControlWindowColumnMask(INT height, BYTE* bytes, INT pitch, INT x, INT y, const RECT* clip) {
  DisplayLockScope lock;
  const CDDControlWindowSkin* skin = ControlSkinWithParts();
  if (!skin || height < 0) {
    SetDirectDrawThreadError(DDERR_SURFACELOST);
    return false;
  }
  const INT width = static_cast<INT>(skin->GetPart(0)->GetWidth());
  RECT area;
  const int clipState = CheckClip(clip, width, height, area);
  bool anyMask = false;
  for (int index = 0; index < CDDControlWindowSkin::kPartCount; ++index) anyMask = anyMask || skin->GetMask(index);
  if (clipState < 0) {
    SetInvalidClipError();
    return false;
  }
  if (clipState == 0) return true;
  FrameTarget target{bytes + static_cast<ptrdiff_t>(y) * pitch + x, pitch, 1, area};
  if (!anyMask) {
    FillFrameCell(target, area, 1);
    return true;
  }
  const FrameColumn column{{MaskPictureOf(skin->GetMask(0), skin->GetPart(0)),
                            MaskPictureOf(skin->GetMask(1), skin->GetPart(1)),
                            MaskPictureOf(skin->GetMask(2), skin->GetPart(2))}};
  CBitmapStretcher stretcher;
  const FramePainter painter = PainterFor(stretcher, *skin->GetPart(0), true);
  PaintFrameColumn(target, painter, column, 0, width, height, FrameSpread::kTile, SpreadOf(skin->GetSizeMode()), true,
                   1);
  return true;
}
