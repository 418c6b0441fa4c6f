// CBitmapFont: a proportional font cut from one bitmap. Every glyph is a
// rectangle of the bitmap; all glyphs share one row range (first glyph
// row, glyph height) and a glyph table gives each glyph's left edge and
// width. Glyph n stands for the character with code n.
//
// A marked font bitmap carries its glyph table in its top row: the first
// pixel is the transparent colour (unless the bitmap has a colour key
// already), the second the marker colour, and each further pixel of the
// marker colour starts a new glyph at its column; the last column closes
// the last glyph. The glyphs are the rows below the top row.
//
// The font owns its bitmap (one reference) and its table. Every glyph of a
// font lies inside its bitmap: tables that do not fit are refused. One
// thread at a time.
#pragma once

#include <memory>

#include <windows.h>

#include "foundation/kernel/TypedObject.h"

class CDIBitmap;

struct BitmapGlyph {
  INT x;      // left edge, in pixels
  INT width;  // in pixels
};

class CBitmapFont : public CTypedObject {
  TWL_DECLARE_CLASS(CBitmapFont)
 public:
  CBitmapFont() noexcept = default;
  CBitmapFont(const CBitmapFont&) = delete;
  CBitmapFont& operator=(const CBitmapFont&) = delete;
  ~CBitmapFont() override;

  // Takes the bitmap over (the one reference the caller hands over) and
  // builds the glyph table from its markers. (Other code calls this
  // operation Create.) A bitmap without a colour key gets the top-left
  // pixel as its key; a bottom-up one is first made 32-bit top-down.
  // When the bitmap cannot be analysed (it has no pixels, or a conversion
  // fails) the font ends up empty and releases the bitmap, which deletes
  // it unless the caller holds a reference of its own: the caller's
  // pointer must not be used afterwards, and GetBitmap() answers null.
  // Nothing is thrown; the result tells whether the font kept the bitmap.
  bool SetBitmap(CDIBitmap* bitmap);
  // Takes the bitmap and the glyph table over as they are. Glyphs that do
  // not lie inside the bitmap throw the bitmap error, after the bitmap and
  // table have been released and the font emptied.
  void Set(CDIBitmap* bitmap, INT firstGlyphRow, INT glyphHeight, INT glyphCount,
           std::unique_ptr<BitmapGlyph[]> glyphs);

  // The bitmap's stored body, the glyph count (u32) and the glyph table
  // (x, width: i32 each); all little-endian. The first glyph row is not
  // stored: a loaded font's glyphs start at row 1 and end at the bitmap's
  // last row. A load empties the font first and refuses a table that does
  // not fit the bitmap with the bitmap error; short data throws the
  // archive's end-of-stream error before a large table is allocated.
  void Serialize(CStorage& storage) override;

  CDIBitmap* GetBitmap() const { return m_Bitmap; }
  INT GetGlyphCount() const { return m_GlyphCount; }
  INT GetFirstGlyphRow() const { return m_FirstGlyphRow; }
  INT GetGlyphHeight() const { return m_GlyphHeight; }
  const BitmapGlyph* GetGlyphs() const { return m_Glyphs.get(); }

 private:
  void Clear() noexcept;
  void AnalyseMarkers();
  void Store(CStorage& storage);
  void Load(CStorage& storage);

  CDIBitmap* m_Bitmap = nullptr;
  INT m_GlyphCount = 0;
  INT m_FirstGlyphRow = 0;
  INT m_GlyphHeight = 0;
  std::unique_ptr<BitmapGlyph[]> m_Glyphs;
};
