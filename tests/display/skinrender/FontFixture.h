// Bitmap fonts for the writer tests: glyph n is a block of colour
// (n + 1) << 16 on the key 0, below the separator row.
#pragma once

#include <memory>
#include <vector>

#include "RenderFixture.h"
#include "foundation/bitmaps/BitmapFont.h"

namespace rendertest {

// Glyph widths as given; all glyphs `height` high.
inline CBitmapFont* MakeFont(const std::vector<int>& widths, int height) {
  int total = 0;
  for (int width : widths) total += width;
  const int columns = total > 0 ? total : 1;
  std::vector<DWORD> pixels(static_cast<size_t>(columns) * (height + 1), 0);
  std::unique_ptr<BitmapGlyph[]> glyphs(new BitmapGlyph[widths.empty() ? 1 : widths.size()]);
  int x = 0;
  for (size_t n = 0; n < widths.size(); ++n) {
    glyphs[n] = BitmapGlyph{x, widths[n]};
    for (int y = 1; y <= height; ++y)
      for (int c = x; c < x + widths[n]; ++c) pixels[static_cast<size_t>(y) * columns + c] = (n + 1) << 16;
    x += widths[n];
  }
  CDIBitmap* bitmap = MakePicture(columns, height + 1, pixels);
  bitmap->SetColorKeyFlag(true);
  bitmap->SetColorKey(0);
  auto* font = new CBitmapFont;
  font->Set(bitmap, 1, height, static_cast<int>(widths.size()), std::move(glyphs));
  return font;
}

inline CBitmapFont* MakeFont(int count, int width, int height) {
  return MakeFont(std::vector<int>(static_cast<size_t>(count), width), height);
}

}  // namespace rendertest
