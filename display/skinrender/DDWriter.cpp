#include "display/skinrender/DDWriter.h"

#include <new>

#include "display/skinrender/DDSkinBase.h"
#include "display/state/DisplayLock.h"
#include "display/state/DisplayState.h"
#include "foundation/bitmaps/BitmapFont.h"
#include "foundation/bitmaps/DIBitmap.h"
#include "foundation/bitmaps/PixelConverter.h"
#include "foundation/kernel/MemoryError.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CDDWriter, CTypedObject)

namespace {

template <class T>
std::unique_ptr<T[]> NewArray(size_t count) {
  std::unique_ptr<T[]> array(new (std::nothrow) T[count ? count : 1]());
  if (!array) ThrowMemoryError();
  return array;
}

// Glyphs are copied by whole bytes per pixel; a font of packed sub-byte
// pixels is first widened to 32 bits so that a glyph's left column is the
// start of a byte.
struct GlyphSource {
  const CDIBitmap* bitmap = nullptr;
  CDIBitmap widened;

  explicit GlyphSource(const CDIBitmap& original) : bitmap(&original) {
    if (original.GetFormat().bitsPerPixel % 8 == 0) return;
    widened.Copy(original);
    CPixelFormat rgb;
    rgb.SetMasks(32, 0xFF, 0xFF00, 0xFF0000);
    widened.ChangeFormat(rgb, nullptr, CDIBitmap::kKeepOrientation, 0);
    bitmap = &widened;
  }
};

}  // namespace

CDDWriter::~CDDWriter() { Release(); }

void CDDWriter::Release() noexcept {
  for (INT index = 0; m_Surfaces && index < m_SurfaceCount; ++index)
    if (m_Surfaces[index]) m_Surfaces[index]->Release();
  m_Surfaces.reset();
  m_SurfaceCount = 0;
  m_Placements.reset();
}

HRESULT CDDWriter::Create(const CBitmapFont& font) {
  Release();
  const CDisplayState* display = CDisplayState::GetCurrent();
  if (!display || !display->GetDirectDraw()) return CDDSkinBase::kNoDisplay;
  try {
    m_GlyphCount = font.GetGlyphCount() > 0 ? font.GetGlyphCount() : 0;
    m_GlyphHeight = font.GetGlyphHeight();
    INT maxWidth = 0;
    INT maxHeight = 0;
    {
      DisplayLockScope lock;
      maxWidth = static_cast<INT>(display->GetModeWidth());
      maxHeight = static_cast<INT>(display->GetModeHeight());
    }
    LayOut(font, maxWidth, maxHeight);
    if (HRESULT result = BuildSurfaces(font); FAILED(result)) {
      Release();
      return result;
    }
  } catch (...) {
    Release();
    throw;
  }
  return DD_OK;
}

void CDDWriter::LayOut(const CBitmapFont& font, INT maxWidth, INT maxHeight) {
  m_Placements = NewArray<Placement>(static_cast<size_t>(m_GlyphCount));
  m_SurfaceCount = 1;
  INT x = 0;
  INT bottom = m_GlyphHeight;
  for (INT glyph = 0; glyph < m_GlyphCount; ++glyph) {
    const INT width = font.GetGlyphs()[glyph].width;
    if (x + width > maxWidth) {
      bottom += m_GlyphHeight;
      x = 0;
      if (bottom > maxHeight) {
        ++m_SurfaceCount;
        bottom = m_GlyphHeight;
      }
    }
    m_Placements[glyph] = Placement{m_SurfaceCount - 1, x, bottom - m_GlyphHeight, x + width, bottom};
    x += width;
  }
}

HRESULT CDDWriter::BuildSurfaces(const CBitmapFont& font) {
  m_Surfaces = NewArray<IDirectDrawSurface2*>(static_cast<size_t>(m_SurfaceCount));
  const CDisplayState& display = *CDisplayState::GetCurrent();
  for (INT index = 0; index < m_SurfaceCount; ++index) {
    INT width = 0;
    INT height = 0;
    for (INT glyph = 0; glyph < m_GlyphCount; ++glyph) {
      const Placement& place = m_Placements[glyph];
      if (place.surface != index) continue;
      if (place.right > width) width = place.right;
      if (place.bottom > height) height = place.bottom;
    }
    if (width == 0 || height == 0) continue;
    if (HRESULT result = CDDSkinBase::CreateOffscreenSurface(display, static_cast<DWORD>(width),
                                                             static_cast<DWORD>(height), &m_Surfaces[index]);
        FAILED(result))
      return result;
    if (HRESULT result = FillSurface(font, index, static_cast<DWORD>(width), static_cast<DWORD>(height));
        FAILED(result))
      return result;
  }
  return DD_OK;
}

HRESULT CDDWriter::FillSurface(const CBitmapFont& font, INT index, DWORD width, DWORD height) {
  const CDisplayState& display = *CDisplayState::GetCurrent();
  const CDIBitmap* original = font.GetBitmap();
  if (!original || !original->HasPixels()) return DDERR_INVALIDPARAMS;
  GlyphSource source(*original);
  const CDIBitmap& bitmap = *source.bitmap;
  CPixelConverter converter;
  DWORD key = 0;
  DWORD destinationBytes = 0;
  {
    DisplayLockScope lock;
    key = display.GetColorKey();
    destinationBytes = display.GetBytesPerPixel();
    if (bitmap.HasColorKey())
      converter.PrepareColorKeyed(display.GetFormat(), key, bitmap.GetFormat(), bitmap.GetColorKey(),
                                  display.GetColorTable());
    else
      converter.Prepare(display.GetFormat(), bitmap.GetFormat(), display.GetColorTable());
  }
  IDirectDrawSurface2* surface = m_Surfaces[index];
  RECT whole{0, 0, static_cast<LONG>(width), static_cast<LONG>(height)};
  DDSURFACEDESC desc{};
  desc.dwSize = sizeof desc;
  if (HRESULT result = surface->Lock(&whole, &desc, DDLOCK_WAIT | DDLOCK_WRITEONLY, nullptr); FAILED(result))
    return result;
  BYTE* pixels = static_cast<BYTE*>(desc.lpSurface);
  const size_t stride = static_cast<size_t>(bitmap.GetBytesPerRow()) + bitmap.GetRowPadding();
  const DWORD sourceBytes = (bitmap.GetFormat().bitsPerPixel + 7) / 8;
  for (INT glyph = 0; glyph < m_GlyphCount; ++glyph) {
    const Placement& place = m_Placements[glyph];
    if (place.surface != index || place.right == place.left) continue;
    const INT column = font.GetGlyphs()[glyph].x;
    for (INT row = 0; row < m_GlyphHeight; ++row) {
      const DWORD imageRow = static_cast<DWORD>(font.GetFirstGlyphRow() + row);
      const DWORD stored = bitmap.IsTopDown() ? imageRow : bitmap.GetHeight() - 1 - imageRow;
      const BYTE* from = bitmap.GetPixels() + stored * stride + static_cast<size_t>(column) * sourceBytes;
      BYTE* to = pixels + static_cast<ptrdiff_t>(place.top + row) * desc.lPitch +
                 static_cast<ptrdiff_t>(place.left) * destinationBytes;
      converter.ConvertRows(to, 0, from, 0, static_cast<DWORD>(place.right - place.left), 1);
    }
  }
  if (HRESULT result = surface->Unlock(desc.lpSurface); FAILED(result)) return result;
  DDCOLORKEY colorKey{key, key};
  return surface->SetColorKey(DDCKEY_SRCBLT, &colorKey);
}

const CDDWriter::Placement* CDDWriter::GetPlacement(INT glyph) const {
  if (!m_Placements || glyph < 0 || glyph >= m_GlyphCount) return nullptr;
  return &m_Placements[glyph];
}

const CDDWriter::Placement* CDDWriter::PlacementOfCode(unsigned code) const {
  if (!m_Placements || m_GlyphCount == 0) return nullptr;
  return &m_Placements[code < static_cast<unsigned>(m_GlyphCount) ? code : 0];
}

HRESULT CDDWriter::WriteText(IDirectDrawSurface2* surface, INT x, INT y, const char* text, DWORD flags,
                             DDBLTFX* effects) const {
  if (!text) return DD_OK;
  RECT target{x, y, x, y + m_GlyphHeight};
  for (const char* at = text; *at; ++at) {
    const Placement* place = PlacementOfCode(static_cast<unsigned char>(*at));
    if (!place) return DD_OK;
    const INT width = place->right - place->left;
    // A glyph of width 0 has no pixels, and may lie on no surface at all.
    IDirectDrawSurface2* glyphs = m_Surfaces ? m_Surfaces[place->surface] : nullptr;
    if (width == 0 || !glyphs) continue;
    target.right = target.left + width;
    RECT source{place->left, place->top, place->right, place->bottom};
    if (HRESULT result = surface->Blt(&target, glyphs, &source, flags, effects); FAILED(result)) return result;
    target.left = target.right;
  }
  return DD_OK;
}

INT CDDWriter::GetTextWidth(const char* text) const {
  INT width = 0;
  for (const char* at = text; at && *at; ++at) {
    const Placement* place = PlacementOfCode(static_cast<unsigned char>(*at));
    if (!place) return 0;
    width += place->right - place->left;
  }
  return width;
}

INT CDDWriter::GetCharWidth(INT code) const {
  if (code < 0) code += 256;
  const Placement* place = PlacementOfCode(static_cast<unsigned>(code));
  return place ? place->right - place->left : 0;
}
