#include "display/skinrender/DDSkinBase.h"

#include <cstring>
#include <new>

#include "display/skinrender/DDWriter.h"
#include "display/state/DisplayLock.h"
#include "display/state/DisplayState.h"
#include "foundation/bitmaps/DIBitmap.h"
#include "foundation/bitmaps/PixelConverter.h"
#include "foundation/kernel/MemoryError.h"
#include "skins/masks/Mask.h"

TWL_IMPLEMENT_CLASS(CDDSkinBase, CTypedObject)

namespace {

DWORD ReadPixel(const BYTE* at, DWORD bytes) {
  DWORD value = 0;
  std::memcpy(&value, at, bytes);
  return value;
}

void WritePixel(BYTE* at, DWORD bytes, DWORD value) { std::memcpy(at, &value, bytes); }

// An opaque picture must not become transparent where it happens to hold
// the key value.
void ReplaceKey(BYTE* pixels, LONG pitch, DWORD width, DWORD height, const CDisplayState& display) {
  const DWORD bytes = display.GetBytesPerPixel();
  const DWORD key = display.GetColorKey();
  const DWORD substitute = display.GetSubstituteColor();
  for (DWORD y = 0; y < height; ++y) {
    BYTE* row = pixels + static_cast<ptrdiff_t>(y) * pitch;
    for (DWORD x = 0; x < width; ++x, row += bytes)
      if (ReadPixel(row, bytes) == key) WritePixel(row, bytes, substitute);
  }
}

// The key wherever the mask is 0; a mask of another size covers only what
// it shares with the picture.
void ApplyMask(BYTE* pixels, LONG pitch, DWORD width, DWORD height, const CMask& mask, const CDisplayState& display) {
  const DWORD bytes = display.GetBytesPerPixel();
  const DWORD key = display.GetColorKey();
  const DWORD columns = static_cast<DWORD>(mask.GetWidth()) < width ? static_cast<DWORD>(mask.GetWidth()) : width;
  const DWORD rows = static_cast<DWORD>(mask.GetHeight()) < height ? static_cast<DWORD>(mask.GetHeight()) : height;
  if (!mask.GetBytes()) return;
  for (DWORD y = 0; y < rows; ++y) {
    const BYTE* inside = mask.GetBytes() + static_cast<size_t>(y) * mask.GetWidth();
    BYTE* row = pixels + static_cast<ptrdiff_t>(y) * pitch;
    for (DWORD x = 0; x < columns; ++x, row += bytes)
      if (!inside[x]) WritePixel(row, bytes, key);
  }
}

// The picture's rows in top-down order into the locked surface.
void ConvertPicture(const CPixelConverter& converter, const CDIBitmap& bitmap, BYTE* pixels, LONG pitch) {
  const size_t stride = static_cast<size_t>(bitmap.GetBytesPerRow()) + bitmap.GetRowPadding();
  const DWORD height = bitmap.GetHeight();
  for (DWORD y = 0; y < height; ++y) {
    const DWORD stored = bitmap.IsTopDown() ? y : height - 1 - y;
    converter.ConvertRows(pixels + static_cast<ptrdiff_t>(y) * pitch, 0, bitmap.GetPixels() + stored * stride, 0,
                          bitmap.GetWidth(), 1);
  }
}

}  // namespace

HRESULT CDDSkinBase::CreateOffscreenSurface(const CDisplayState& display, DWORD width, DWORD height,
                                            IDirectDrawSurface2** surface) {
  return display.CreateOffscreenSurface(width, height, surface);
}

HRESULT CDDSkinBase::CreateSurface(const CDIBitmap& bitmap, const CMask* mask, IDirectDrawSurface2** surface,
                                   bool useColorKey) {
  *surface = nullptr;
  const CDisplayState* display = CDisplayState::GetCurrent();
  if (!display || !display->GetDirectDraw()) return kNoDisplay;
  if (!bitmap.HasPixels()) return DDERR_INVALIDPARAMS;
  if (!bitmap.HasColorKey()) useColorKey = false;

  DisplayLockScope lock;
  IDirectDrawSurface2* made = nullptr;
  if (HRESULT result = CreateOffscreenSurface(*display, bitmap.GetWidth(), bitmap.GetHeight(), &made); FAILED(result))
    return result;
  auto fail = [&](HRESULT result) {
    made->Release();
    return result;
  };
  if (mask || useColorKey) {
    DDCOLORKEY key{display->GetColorKey(), display->GetColorKey()};
    if (HRESULT result = made->SetColorKey(DDCKEY_SRCBLT, &key); FAILED(result)) return fail(result);
  }
  CPixelConverter converter;
  try {
    if (useColorKey)
      converter.PrepareColorKeyed(display->GetFormat(), display->GetColorKey(), bitmap.GetFormat(),
                                  bitmap.GetColorKey(), display->GetColorTable());
    else
      converter.Prepare(display->GetFormat(), bitmap.GetFormat(), display->GetColorTable());
  } catch (...) {
    made->Release();
    throw;
  }
  DDSURFACEDESC desc{};
  desc.dwSize = sizeof desc;
  if (HRESULT result = made->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_WRITEONLY, nullptr); FAILED(result))
    return fail(result);
  BYTE* pixels = static_cast<BYTE*>(desc.lpSurface);
  ConvertPicture(converter, bitmap, pixels, desc.lPitch);
  if (!useColorKey) ReplaceKey(pixels, desc.lPitch, bitmap.GetWidth(), bitmap.GetHeight(), *display);
  if (mask) ApplyMask(pixels, desc.lPitch, bitmap.GetWidth(), bitmap.GetHeight(), *mask, *display);
  if (HRESULT result = made->Unlock(desc.lpSurface); FAILED(result)) return fail(result);
  *surface = made;
  return DD_OK;
}

HRESULT CDDSkinBase::CreateWriter(const CBitmapFont* font, CDDWriter*& writer) {
  writer = nullptr;
  if (!font) return DD_OK;
  writer = new (std::nothrow) CDDWriter;
  if (!writer) ThrowMemoryError();
  return writer->Create(*font);
}
