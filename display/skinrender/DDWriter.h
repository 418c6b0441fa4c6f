// CDDWriter: writes text in a skin's bitmap font onto DirectDraw surfaces.
// Building it copies every glyph once, in the display format, into glyph
// surfaces no larger than the screen, packed row by row; writing is then
// one colour-keyed blit per character. Each byte of a text selects the
// glyph of its value; a value at or above the glyph count selects glyph 0.
//
// Built on the user-interface thread; drawn with and measured under the
// display lock, which the caller holds. The writer does not keep the font.
#pragma once

#include <memory>

#include <windows.h>

#include "foundation/kernel/TypedObject.h"
#include "twlwin/ddraw.h"

class CBitmapFont;

class CDDWriter : public CTypedObject {
  TWL_DECLARE_CLASS(CDDWriter)
 public:
  // Where a glyph lies: its glyph surface and its rectangle there (right
  // and bottom one past the last column and row).
  struct Placement {
    INT surface;
    INT left;
    INT top;
    INT right;
    INT bottom;
  };

  CDDWriter() noexcept = default;
  CDDWriter(const CDDWriter&) = delete;
  CDDWriter& operator=(const CDDWriter&) = delete;
  ~CDDWriter() override;

  // Releases, lays the glyphs out and builds the glyph surfaces. A
  // DirectDraw failure releases the writer and is returned; a memory error
  // releases it and passes on.
  HRESULT Create(const CBitmapFont& font);
  // Frees the glyph surfaces and the placements; glyph count and height
  // stay.
  void Release() noexcept;

  // Draws the text with its top left corner at (x, y) of the surface: each
  // glyph blitted with the flags and effects given (DDBLT_KEYSRC keeps the
  // glyph backgrounds transparent). Returns the first failing blit's code;
  // what was drawn before stays. Glyphs of width 0 draw nothing.
  HRESULT WriteText(IDirectDrawSurface2* surface, INT x, INT y, const char* text, DWORD flags, DDBLTFX* effects) const;
  INT GetTextWidth(const char* text) const;
  // A negative code counts from 256 (a signed char).
  INT GetCharWidth(INT code) const;
  INT GetHeight() const { return m_GlyphHeight; }

  INT GetGlyphCount() const { return m_GlyphCount; }
  INT GetSurfaceCount() const { return m_SurfaceCount; }
  IDirectDrawSurface2* GetSurface(INT index) const { return m_Surfaces ? m_Surfaces[index] : nullptr; }
  // Null when the writer holds no placements.
  const Placement* GetPlacement(INT glyph) const;

 private:
  // The placement a character code selects; null when there is none.
  const Placement* PlacementOfCode(unsigned code) const;
  void LayOut(const CBitmapFont& font, INT maxWidth, INT maxHeight);
  HRESULT BuildSurfaces(const CBitmapFont& font);
  HRESULT FillSurface(const CBitmapFont& font, INT index, DWORD width, DWORD height);

  std::unique_ptr<IDirectDrawSurface2*[]> m_Surfaces;
  INT m_SurfaceCount = 0;
  std::unique_ptr<Placement[]> m_Placements;
  INT m_GlyphCount = 0;
  INT m_GlyphHeight = 0;
};
