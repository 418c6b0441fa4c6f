// The font record of compiled skin data: "FNTC" with the glyph table and
// "FNTB" with the glyph strip.
#include <algorithm>
#include <cstdint>
#include <memory>
#include <new>

#include "foundation/bitmaps/BitmapBlitter.h"
#include "foundation/bitmaps/BitmapFont.h"
#include "foundation/bitmaps/DIBitmap.h"
#include "foundation/kernel/MemoryError.h"
#include "foundation/streams/Stream.h"
#include "skins/base/ChunkIo.h"
#include "skins/base/SkinBase.h"
#include "skins/base/SkinErrors.h"
#include "skins/base/SkinPointers.h"

namespace {

constexpr DWORD kTagFNTC = MakeTag("FNTC");
constexpr DWORD kTagFNTB = MakeTag("FNTB");
// Glyphs stand for character codes, so a table never needs more.
constexpr INT kMaxGlyphs = 256;

std::unique_ptr<BitmapGlyph[]> NewGlyphTable(DWORD count) {
  std::unique_ptr<BitmapGlyph[]> table(new (std::nothrow) BitmapGlyph[count]);
  if (!table) ThrowMemoryError();
  return table;
}

// Columns [left, right) of rows [top, top + height) of the picture, in its
// own format.
BitmapPtr CutStrip(const CDIBitmap& picture, INT left, INT right, INT top, INT height) {
  BitmapPtr strip(NewObject<CDIBitmap>());
  strip->Create(static_cast<DWORD>(right - left), static_cast<DWORD>(height), 0, picture.GetFormat(), true);
  CBitmapBlitter blitter;
  blitter.SetFormat(picture.GetFormat());
  blitter.Blit(*strip, 0, 0, right - left, height, picture, left, top);
  return strip;
}

}  // namespace

void CSkinBase::WriteFont(CStream& stream, const CBitmapFont& font) {
  const CDIBitmap* picture = font.GetBitmap();
  const INT pictureWidth = picture ? static_cast<INT>(picture->GetWidth()) : 0;
  const INT count = std::min(font.GetGlyphCount(), kMaxGlyphs);
  const BitmapGlyph* glyphs = font.GetGlyphs();
  INT left = pictureWidth - 1;
  INT right = 0;
  for (INT i = 0; i < count; ++i) {
    left = std::min(left, glyphs[i].x);
    right = std::max(right, glyphs[i].x + glyphs[i].width);
  }
  // A font without glyphs (or without pixels) would give a record no
  // reader accepts; it is written as one empty glyph over a one-pixel
  // strip instead, which draws the same nothing.
  const bool empty =
      count == 0 || !picture || !picture->HasPixels() || right <= left || font.GetGlyphHeight() <= 0;
  const INT height = empty ? 1 : font.GetGlyphHeight();

  const LONGLONG table = BeginChunk(stream, kTagFNTC);
  WriteU32(stream, static_cast<DWORD>(height));
  WriteU32(stream, picture ? picture->GetColorKey() : 0);
  WriteU32(stream, empty ? 1 : static_cast<DWORD>(count));
  if (empty) {
    WriteU32(stream, 0);
    WriteU32(stream, 0);
  } else {
    for (INT i = 0; i < count; ++i) {
      WriteI32(stream, glyphs[i].x - left);
      WriteI32(stream, glyphs[i].width);
    }
  }
  EndChunk(stream, table);

  const LONGLONG strip = BeginChunk(stream, kTagFNTB);
  if (empty) {
    CPixelFormat format;
    format.SetMasks(32, 0xFF, 0xFF00, 0xFF0000);
    CDIBitmap blank;
    blank.Create(1, 1, 0, format, true);
    blank.GetPixels()[0] = blank.GetPixels()[1] = blank.GetPixels()[2] = blank.GetPixels()[3] = 0;
    WriteBitmap(stream, blank);
  } else {
    WriteBitmap(stream, *CutStrip(*picture, left, right, font.GetFirstGlyphRow(), height));
  }
  EndChunk(stream, strip);
}

CBitmapFont* CSkinBase::ReadFont(CStream& stream, DWORD available) {
  DWORD remaining = available;
  bool haveTable = false;
  DWORD height = 0, key = 0, count = 0;
  std::unique_ptr<BitmapGlyph[]> glyphs;
  BitmapPtr strip;
  while (remaining != 0) {
    const ChunkHead head = NextChunk(stream, remaining);
    if (head.tag == kTagFNTC) {
      if (haveTable || head.length <= 11) ThrowCorruptedFile();
      height = ReadU32(stream);
      key = ReadU32(stream);
      count = ReadU32(stream);
      if (height == 0 || count == 0 || count > kMaxGlyphs || (head.length - 12) / 8 < count) ThrowCorruptedFile();
      glyphs = NewGlyphTable(count);
      for (DWORD i = 0; i < count; ++i) {
        const DWORD x = ReadU32(stream);
        const DWORD width = ReadU32(stream);
        if (x > INT32_MAX || width > INT32_MAX) ThrowCorruptedFile();
        glyphs[i] = BitmapGlyph{static_cast<INT>(x), static_cast<INT>(width)};
      }
      SkipExact(stream, head.length - 12 - 8 * count);
      haveTable = true;
    } else if (head.tag == kTagFNTB) {
      if (!haveTable || strip) ThrowCorruptedFile();
      DWORD used = 0;
      strip.reset(ReadBitmap(stream, head.length, &used));
      SkipExact(stream, head.length - used);
    } else {
      SkipExact(stream, head.length);
    }
  }
  if (!haveTable || !strip) ThrowCorruptedFile();
  // Every glyph must lie inside the strip, and the strip be as high as the
  // font, or the text writer would cut glyphs from outside the picture.
  if (strip->GetHeight() < height || height > INT32_MAX) ThrowCorruptedFile();
  for (DWORD i = 0; i < count; ++i) {
    if (static_cast<uint64_t>(glyphs[i].x) + static_cast<uint64_t>(glyphs[i].width) > strip->GetWidth())
      ThrowCorruptedFile();
  }
  strip->SetColorKey(key);
  strip->SetColorKeyFlag(true);
  FontPtr font(NewObject<CBitmapFont>());
  font->Set(strip.release(), 0, static_cast<INT>(height), static_cast<INT>(count), std::move(glyphs));
  return font.release();
}
