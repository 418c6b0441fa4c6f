// The text writer: how glyphs are packed into screen-sized surfaces, what
// a text draws and measures, and the fonts and codes at the edges.
#include <gtest/gtest.h>

#include <memory>

#include "FontFixture.h"
#include "RenderFixture.h"
#include "display/skinrender/DDWriter.h"
#include "foundation/bitmaps/ColorPalette.h"

using namespace rendertest;

namespace {

using FontPtr = std::unique_ptr<CBitmapFont>;

struct Place {
  INT surface, left, top, right, bottom;
  bool operator==(const Place&) const = default;
};

Place PlaceOf(const CDDWriter& writer, int glyph) {
  const CDDWriter::Placement* p = writer.GetPlacement(glyph);
  return p ? Place{p->surface, p->left, p->top, p->right, p->bottom} : Place{-1, -1, -1, -1, -1};
}

SIZE SizeOf(IDirectDrawSurface2* surface) {
  DDSURFACEDESC desc{};
  desc.dwSize = sizeof desc;
  surface->GetSurfaceDesc(&desc);
  return SIZE{static_cast<LONG>(desc.dwWidth), static_cast<LONG>(desc.dwHeight)};
}

void ExpectSize(IDirectDrawSurface2* surface, LONG width, LONG height) {
  ASSERT_NE(surface, nullptr);
  const SIZE size = SizeOf(surface);
  EXPECT_EQ(size.cx, width);
  EXPECT_EQ(size.cy, height);
}

DDBLTFX NoEffects() {
  DDBLTFX fx{};
  fx.dwSize = 100;
  return fx;
}

}  // namespace

class Writer : public RenderTest {};

TEST_F(Writer, HundredGlyphsOnA640WideDisplayFillTwoRowsOfOneSurface) {
  FontPtr font(MakeFont(100, 10, 12));
  CDDWriter writer;
  ASSERT_EQ(writer.Create(*font), DD_OK);
  ASSERT_EQ(writer.GetSurfaceCount(), 1);
  ExpectSize(writer.GetSurface(0), 640, 24);
  EXPECT_EQ(PlaceOf(writer, 0), (Place{0, 0, 0, 10, 12}));
  EXPECT_EQ(PlaceOf(writer, 63), (Place{0, 630, 0, 640, 12})) << "exactly filling the row keeps it there";
  EXPECT_EQ(PlaceOf(writer, 64), (Place{0, 0, 12, 10, 24}));
  EXPECT_EQ(PlaceOf(writer, 99), (Place{0, 350, 12, 360, 24}));
}

TEST_F(Writer, RowsBeyondTheDisplayHeightStartANewSurface) {
  UseDisplay(100, 30, 32);
  FontPtr font(MakeFont(25, 10, 12));  // ten glyphs a row, two rows a surface
  CDDWriter writer;
  ASSERT_EQ(writer.Create(*font), DD_OK);
  ASSERT_EQ(writer.GetSurfaceCount(), 2);
  EXPECT_EQ(PlaceOf(writer, 19), (Place{0, 90, 12, 100, 24}));
  EXPECT_EQ(PlaceOf(writer, 20), (Place{1, 0, 0, 10, 12}));
  ExpectSize(writer.GetSurface(0), 100, 24);
  ExpectSize(writer.GetSurface(1), 50, 12);
}

TEST_F(Writer, GlyphWiderThanTheDisplayGetsARowOfItsOwn) {
  UseDisplay(100, 100, 32);
  FontPtr font(MakeFont(std::vector<int>{120, 5}, 8));
  CDDWriter writer;
  ASSERT_EQ(writer.Create(*font), DD_OK);
  EXPECT_EQ(PlaceOf(writer, 0), (Place{0, 0, 8, 120, 16})) << "the empty first row is left empty";
  EXPECT_EQ(PlaceOf(writer, 1), (Place{0, 0, 16, 5, 24}));
  ExpectSize(writer.GetSurface(0), 120, 24);
}

TEST_F(Writer, TextDrawsEachGlyphOnceKeyedAndMeasuresTheSameWay) {
  FontPtr font(MakeFont(std::vector<int>{1, 2, 3}, 2));
  CDDWriter writer;
  ASSERT_EQ(writer.Create(*font), DD_OK);
  IDirectDrawSurface2* target = MakeTarget(8, 3, 0x777777);
  DDBLTFX fx = NoEffects();
  // Code 1 (2 wide), code 200 (glyph 0, 1 wide), code 2 (3 wide).
  const char text[] = {1, static_cast<char>(200), 2, 0};
  ASSERT_EQ(writer.WriteText(target, 1, 1, text, DDBLT_WAIT | DDBLT_KEYSRC, &fx), DD_OK);
  const DWORD g = 0x777777, a = 0x10000, b = 0x20000, c = 0x30000;
  // The glyph colours are 0x00BBGGRR, so glyph n + 1 shows blue n + 1.
  const DWORD A = display.ConvertColor(a), B = display.ConvertColor(b), C = display.ConvertColor(c);
  const std::vector<DWORD> row = {g, B, B, A, C, C, C, g};
  std::vector<DWORD> expected(8, g);
  expected.insert(expected.end(), row.begin(), row.end());
  expected.insert(expected.end(), row.begin(), row.end());
  EXPECT_EQ(ReadSurface(target), expected);
  EXPECT_EQ(writer.GetTextWidth(text), 6);
  EXPECT_EQ(writer.GetHeight(), 2);
}

TEST_F(Writer, CodesOutsideTheFontMeasureAsGlyphZero) {
  std::vector<int> widths(256);
  for (int n = 0; n < 256; ++n) widths[n] = 1 + n % 7;
  FontPtr wide(MakeFont(widths, 3));
  FontPtr narrow(MakeFont(std::vector<int>{4, 5, 6}, 3));
  CDDWriter all, few;
  ASSERT_EQ(all.Create(*wide), DD_OK);
  ASSERT_EQ(few.Create(*narrow), DD_OK);
  const struct {
    const CDDWriter* writer;
    INT code;
    INT width;
    const char* why;
  } cases[] = {
      {&all, -1, 1 + 255 % 7, "-1 is glyph 255"},
      {&all, 200, 1 + 200 % 7, "a glyph of the font"},
      {&few, -1, 4, "255 is beyond three glyphs"},
      {&few, 2, 6, "the last glyph"},
      {&few, 3, 4, "the first code beyond"},
      {&few, 128, 4, "high codes"},
  };
  for (const auto& row : cases) EXPECT_EQ(row.writer->GetCharWidth(row.code), row.width) << row.why;
  const char high[] = {static_cast<char>(128), static_cast<char>(255), 1, 0};
  EXPECT_EQ(few.GetTextWidth(high), 4 + 4 + 5);
}

TEST_F(Writer, EmptyTextsAndGlyphlessFontsDrawNothingAndMeasureZero) {
  FontPtr font(MakeFont(3, 2, 2));
  FontPtr none(MakeFont(std::vector<int>{}, 2));
  FontPtr zero(MakeFont(std::vector<int>{0, 2}, 2));
  CDDWriter writer, empty, thin;
  ASSERT_EQ(writer.Create(*font), DD_OK);
  ASSERT_EQ(empty.Create(*none), DD_OK);
  ASSERT_EQ(thin.Create(*zero), DD_OK);
  IDirectDrawSurface2* target = MakeTarget(4, 2, 0x777777);
  const std::vector<DWORD> before = ReadSurface(target);
  DDBLTFX fx = NoEffects();
  EXPECT_EQ(writer.WriteText(target, 0, 0, "", DDBLT_WAIT | DDBLT_KEYSRC, &fx), DD_OK);
  EXPECT_EQ(writer.GetTextWidth(""), 0);
  EXPECT_EQ(empty.WriteText(target, 0, 0, "abc", DDBLT_WAIT | DDBLT_KEYSRC, &fx), DD_OK);
  EXPECT_EQ(empty.GetTextWidth("abc"), 0);
  EXPECT_EQ(empty.GetCharWidth('a'), 0);
  // Codes 0x7F are glyph 0, which is 0 wide and lies on no surface.
  EXPECT_EQ(thin.WriteText(target, 0, 0, "\x7F\x7F", DDBLT_WAIT | DDBLT_KEYSRC, &fx), DD_OK);
  EXPECT_EQ(thin.GetTextWidth("\x7F\x7F"), 0);
  EXPECT_EQ(ReadSurface(target), before);
}

TEST_F(Writer, FailedSurfaceCreationReleasesTheWriter) {
  FontPtr font(MakeFont(3, 2, 2));
  CDDWriter writer;
  TwlTestLockDisplay(TRUE);
  EXPECT_EQ(writer.Create(*font), DDERR_UNSUPPORTEDMODE);
  TwlTestLockDisplay(FALSE);
  EXPECT_EQ(writer.GetSurfaceCount(), 0);
  EXPECT_EQ(writer.GetPlacement(0), nullptr);
  EXPECT_EQ(writer.GetTextWidth("a"), 0);
}

TEST_F(Writer, GlyphsOfAFontWithPackedFourBitPixelsCopyTheRightColumns) {
  // Glyphs 1, 2 and 1 pixels wide: the third starts in the middle of a byte.
  auto* palette = new CColorPalette;
  const DWORD colours[4] = {0, 0x0000FF, 0x00FF00, 0xFF0000};
  palette->SetEntries(4, colours);
  CPixelFormat format;
  format.SetIndexed(4, palette);
  palette->Release();
  auto* bitmap = new CDIBitmap;
  bitmap->Create(4, 2, 0, format, true);
  const BYTE rows[4] = {0x00, 0x00, 0x12, 0x23};
  std::memcpy(bitmap->GetPixels(), rows, 4);
  bitmap->SetColorKeyFlag(true);
  bitmap->SetColorKey(0);
  std::unique_ptr<BitmapGlyph[]> glyphs(new BitmapGlyph[3]{{0, 1}, {1, 2}, {3, 1}});
  FontPtr font(new CBitmapFont);
  font->Set(bitmap, 1, 1, 3, std::move(glyphs));
  CDDWriter writer;
  ASSERT_EQ(writer.Create(*font), DD_OK);
  IDirectDrawSurface2* target = MakeTarget(4, 1, 0x777777);
  DDBLTFX fx = NoEffects();
  ASSERT_EQ(writer.WriteText(target, 0, 0, "\x02\x01\x00", DDBLT_WAIT | DDBLT_KEYSRC, &fx), DD_OK);
  EXPECT_EQ(ReadSurface(target), (std::vector<DWORD>{display.ConvertColor(0xFF0000), display.ConvertColor(0x00FF00),
                                                      display.ConvertColor(0x00FF00), 0x777777}));
}
