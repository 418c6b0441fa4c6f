#include "foundation/bitmaps/BitmapFont.h"

#include <algorithm>
#include <cstdint>
#include <new>
#include <vector>

#include "foundation/bitmaps/BitmapError.h"
#include "foundation/bitmaps/DIBitmap.h"
#include "foundation/bitmaps/LittleEndian.h"
#include "foundation/kernel/MemoryError.h"
#include "foundation/storage/Storage.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CBitmapFont, CTypedObject)

namespace {

constexpr DWORD kLargestGlyphCount = 0x7FFFFFFF;
// Room made for entries before they are read: a stored count is believed
// only as far as the data goes, so at most twice what was read.
constexpr DWORD kGlyphReadStep = 4096;

CPixelFormat TrueColorFormat() {
  CPixelFormat format;
  format.SetMasks(32, 0xFF0000, 0xFF00, 0xFF);
  return format;
}

// The value of the first pixel in memory, in the bitmap's own format.
DWORD FirstPixelValue(const CDIBitmap& bitmap) {
  const BYTE* pixel = bitmap.GetPixels();
  const DWORD bits = bitmap.GetFormat().bitsPerPixel;
  // Sub-byte pixels: the first one is the top bits of the byte.
  if (bits < 8) return pixel[0] >> (8 - bits);
  DWORD value = 0;
  for (DWORD i = 0; i < (bits + 7) / 8; ++i) value |= static_cast<DWORD>(pixel[i]) << (8 * i);
  return bits == 32 ? value : value & ((1u << bits) - 1);
}

std::unique_ptr<BitmapGlyph[]> ExactTable(const std::vector<BitmapGlyph>& glyphs) {
  std::unique_ptr<BitmapGlyph[]> table(new (std::nothrow) BitmapGlyph[std::max<size_t>(glyphs.size(), 1)]);
  if (!table) ThrowMemoryError();
  std::copy(glyphs.begin(), glyphs.end(), table.get());
  return table;
}

bool GlyphsFitBitmap(const CDIBitmap* bitmap, INT firstRow, INT height, INT count, const BitmapGlyph* glyphs) {
  if (count < 0 || (count > 0 && !glyphs)) return false;
  if (!bitmap || !bitmap->HasPixels()) return count == 0;
  if (firstRow < 0 || height < 0 || static_cast<int64_t>(firstRow) + height > bitmap->GetHeight()) return false;
  for (INT i = 0; i < count; ++i) {
    const BitmapGlyph& glyph = glyphs[i];
    if (glyph.x < 0 || glyph.width < 0 || static_cast<int64_t>(glyph.x) + glyph.width > bitmap->GetWidth())
      return false;
  }
  return true;
}

}  // namespace

CBitmapFont::~CBitmapFont() { Clear(); }

void CBitmapFont::Clear() noexcept {
  if (m_Bitmap) m_Bitmap->Release();
  m_Bitmap = nullptr;
  m_Glyphs.reset();
  m_GlyphCount = 0;
  m_FirstGlyphRow = 0;
  m_GlyphHeight = 0;
}

bool CBitmapFont::SetBitmap(CDIBitmap* bitmap) {
  Clear();
  m_Bitmap = bitmap;
  if (!m_Bitmap) return false;
  try {
    AnalyseMarkers();
    return true;
  } catch (CError* error) {
    DisposeError(error);
    Clear();
    return false;
  }
}

void CBitmapFont::AnalyseMarkers() {
  if (!m_Bitmap->HasPixels()) ThrowBitmapError(kInvalidBitmapDataKey, kInvalidBitmapDataText);
  const CPixelFormat trueColor = TrueColorFormat();
  if (!m_Bitmap->HasColorKey()) {
    if (!m_Bitmap->IsTopDown()) m_Bitmap->ChangeFormat(trueColor, nullptr, 1, CDIBitmap::kPadToFourBytes);
    m_Bitmap->SetColorKey(FirstPixelValue(*m_Bitmap));
    m_Bitmap->SetColorKeyFlag(true);
  }

  // The markers are read in one format whatever the bitmap's own. Without
  // its key, the copy converts every pixel as it is.
  CDIBitmap work;
  work.Copy(*m_Bitmap);
  work.SetColorKeyFlag(false);
  work.ChangeFormat(trueColor, nullptr, 1, CDIBitmap::kPadToFourBytes);

  const DWORD width = work.GetWidth();
  m_FirstGlyphRow = 1;
  m_GlyphHeight = static_cast<INT>(work.GetHeight()) - 1;
  std::vector<BitmapGlyph> glyphs;
  glyphs.reserve(128);
  if (width >= 2) {
    const BYTE* topRow = work.GetPixels();
    auto colorAt = [topRow](DWORD x) { return ReadLE32(topRow + 4 * x) & 0xFFFFFF; };
    const DWORD marker = colorAt(1);
    DWORD start = 1;
    for (DWORD x = 2; x < width; ++x) {
      if (colorAt(x) != marker && x != width - 1) continue;
      glyphs.push_back({static_cast<INT>(start), static_cast<INT>(x - start)});
      start = x;
    }
  }
  m_Glyphs = ExactTable(glyphs);
  m_GlyphCount = static_cast<INT>(glyphs.size());
}

void CBitmapFont::Set(CDIBitmap* bitmap, INT firstGlyphRow, INT glyphHeight, INT glyphCount,
                      std::unique_ptr<BitmapGlyph[]> glyphs) {
  Clear();
  m_Bitmap = bitmap;
  if (!GlyphsFitBitmap(bitmap, firstGlyphRow, glyphHeight, glyphCount, glyphs.get())) {
    Clear();
    ThrowBitmapError(kInvalidBitmapDataKey, kInvalidBitmapDataText);
  }
  m_FirstGlyphRow = firstGlyphRow;
  m_GlyphHeight = glyphHeight;
  m_GlyphCount = glyphCount;
  m_Glyphs = std::move(glyphs);
}

void CBitmapFont::Serialize(CStorage& storage) {
  if (storage.IsLoading())
    Load(storage);
  else
    Store(storage);
}

void CBitmapFont::Store(CStorage& storage) {
  if (m_Bitmap) {
    m_Bitmap->Serialize(storage);
  } else {
    CDIBitmap empty;
    empty.Serialize(storage);
  }
  storage.WriteValue(static_cast<DWORD>(m_GlyphCount));
  for (INT i = 0; i < m_GlyphCount; ++i) {
    storage.WriteValue(m_Glyphs[i].x);
    storage.WriteValue(m_Glyphs[i].width);
  }
}

void CBitmapFont::Load(CStorage& storage) {
  Clear();
  CDIBitmap* bitmap = new (std::nothrow) CDIBitmap;
  if (!bitmap) ThrowMemoryError();
  try {
    bitmap->Serialize(storage);
    DWORD count = 0;
    storage.ReadValue(count);
    if (count > kLargestGlyphCount) ThrowBitmapError(kInvalidBitmapDataKey, kInvalidBitmapDataText);
    std::vector<BitmapGlyph> glyphs;
    while (glyphs.size() < count) {
      if (glyphs.size() == glyphs.capacity())
        glyphs.reserve(std::min<size_t>(count, std::max<size_t>(kGlyphReadStep, 2 * glyphs.size())));
      BitmapGlyph glyph{};
      storage.ReadValue(glyph.x);
      storage.ReadValue(glyph.width);
      glyphs.push_back(glyph);
    }
    const bool hasPixels = bitmap->HasPixels();
    const INT firstRow = hasPixels ? 1 : 0;
    const INT height = hasPixels ? static_cast<INT>(bitmap->GetHeight()) - 1 : 0;
    if (!GlyphsFitBitmap(bitmap, firstRow, height, static_cast<INT>(count), glyphs.data()))
      ThrowBitmapError(kInvalidBitmapDataKey, kInvalidBitmapDataText);
    if (!hasPixels) {
      // The stored form of an empty font.
      bitmap->Release();
      return;
    }
    m_Glyphs = ExactTable(glyphs);
    m_Bitmap = bitmap;
    m_FirstGlyphRow = firstRow;
    m_GlyphHeight = height;
    m_GlyphCount = static_cast<INT>(count);
  } catch (...) {
    bitmap->Release();
    Clear();
    throw;
  }
}
