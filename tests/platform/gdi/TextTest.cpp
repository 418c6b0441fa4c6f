#include <cstring>
#include <string>

#include "GdiFixture.h"
#include "twlwin/testing_gdi.h"

namespace {

HFONT Font(int height, const char* face, int weight = FW_NORMAL, DWORD pitchAndFamily = 0) {
  return CreateFontA(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_STROKE_PRECIS,
                     CLIP_STROKE_PRECIS, DRAFT_QUALITY, pitchAndFamily, face);
}

std::string FileOf(HFONT font) {
  char path[300] = {};
  TwlTestGetFontFile(font, path, sizeof path);
  std::string s = path;
  return s.substr(s.rfind('/') + 1);
}

TEST(Fonts, FaceNamesMapToDejaVuFaces) {
  struct Case {
    const char* face;
    int weight;
    DWORD pitchAndFamily;
    const char* file;
  };
  const Case cases[] = {
      {"MS Sans Serif", FW_NORMAL, 0x21, "DejaVuSans.ttf"},
      {"Arial", FW_NORMAL, 0, "DejaVuSans.ttf"},
      {"Tahoma", FW_BOLD, 0, "DejaVuSans-Bold.ttf"},
      {"Courier New", FW_NORMAL, 0, "DejaVuSansMono.ttf"},
      {"Lucida Console", FW_BOLD, 0, "DejaVuSansMono-Bold.ttf"},
      {"Times New Roman", FW_NORMAL, 0, "DejaVuSerif.ttf"},
      {"", FW_NORMAL, FIXED_PITCH | FF_MODERN, "DejaVuSansMono.ttf"},
      {"", FW_NORMAL, FF_ROMAN, "DejaVuSerif.ttf"},
      {"No Such Face", FW_NORMAL, 0, "DejaVuSans.ttf"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.face);
    HFONT font = Font(-12, c.face, c.weight, c.pitchAndFamily);
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(FileOf(font), c.file);
    DeleteObject(font);
  }
}

TEST(Fonts, HeightFollowsWindowsSigns) {
  HDC dc = CreateCompatibleDC(nullptr);
  for (int height : {8, 11, 14, 20, 33}) {
    SCOPED_TRACE(height);
    TEXTMETRICA cell{};
    TEXTMETRICA character{};
    HFONT byCell = Font(height, "MS Sans Serif");
    HFONT byCharacter = Font(-height, "MS Sans Serif");
    HGDIOBJ old = SelectObject(dc, byCell);
    ASSERT_TRUE(GetTextMetricsA(dc, &cell));
    SelectObject(dc, byCharacter);
    ASSERT_TRUE(GetTextMetricsA(dc, &character));
    SelectObject(dc, old);
    // Positive: the cell (ascent + descent) is the height asked for.
    EXPECT_EQ(cell.tmHeight, height);
    EXPECT_EQ(cell.tmAscent + cell.tmDescent, cell.tmHeight);
    // Negative: the character height (cell without internal leading).
    EXPECT_EQ(character.tmHeight - character.tmInternalLeading, height);
    EXPECT_GT(character.tmHeight, cell.tmHeight);
    DeleteObject(byCell);
    DeleteObject(byCharacter);
  }
  DeleteDC(dc);
}

// The widths below come from the DejaVu files of Debian 12 and FreeType's
// unhinted advances; they must not change from run to run or machine to
// machine, because layouts are computed from them.
TEST(Fonts, TextExtentsAreFixedNumbers) {
  HDC dc = CreateCompatibleDC(nullptr);
  HFONT font = Font(14, "MS Sans Serif");
  SelectObject(dc, font);
  const char* line = "ABCDEFGHIJKLMNOPQRSTUVWXYZ1234567890abcdefghijklmnopqrstuvwxyz!\"\xC2\xA7$%&/()=?";
  SIZE first{};
  SIZE second{};
  ASSERT_TRUE(GetTextExtentPoint32A(dc, line, static_cast<int>(std::strlen(line)), &first));
  ASSERT_TRUE(GetTextExtentPoint32A(dc, line, static_cast<int>(std::strlen(line)), &second));
  EXPECT_EQ(first.cx, second.cx);
  EXPECT_EQ(first.cy, 14);
  EXPECT_EQ(first.cx, 540);
  SIZE word{};
  ASSERT_TRUE(GetTextExtentPoint32A(dc, "Close Log", 9, &word));
  EXPECT_EQ(word.cx, 57);
  SIZE empty{1, 1};
  ASSERT_TRUE(GetTextExtentPoint32A(dc, "", 0, &empty));
  EXPECT_EQ(empty.cx, 0);
  EXPECT_FALSE(GetTextExtentPoint32A(dc, "x", -1, &empty));
  DeleteDC(dc);
  DeleteObject(font);
}

TEST(Fonts, BrokenUtf8IsMeasuredByteByByte) {
  HDC dc = CreateCompatibleDC(nullptr);
  SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  SIZE broken{};
  // A lead byte at the very end and a stray continuation byte.
  ASSERT_TRUE(GetTextExtentPoint32A(dc, "a\xE2\x82", 3, &broken));
  ASSERT_TRUE(GetTextExtentPoint32A(dc, "\x80\xC3", 2, &broken));
  EXPECT_GT(broken.cx, 0);
  DeleteDC(dc);
}

class Text : public MemoryDcTest {
 protected:
  void SetUp() override {
    MemoryDcTest::SetUp();
    font = Font(-11, "MS Sans Serif");
    SelectObject(dc, font);
  }
  void TearDown() override {
    SelectObject(dc, GetStockObject(SYSTEM_FONT));
    DeleteObject(font);
    MemoryDcTest::TearDown();
  }
  SIZE Extent(const char* text) {
    SIZE size{};
    GetTextExtentPoint32A(dc, text, static_cast<int>(std::strlen(text)), &size);
    return size;
  }
  HFONT font = nullptr;
};

TEST_F(Text, TextOutInksInsideItsCellOnly) {
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(0, 0, 0));
  ASSERT_TRUE(TextOutA(dc, 3, 4, "Hg", 2));
  SIZE size = Extent("Hg");
  RECT ink = InkBox();
  EXPECT_GE(ink.left, 3);
  EXPECT_GE(ink.top, 4);
  EXPECT_LE(ink.right, 3 + size.cx + 1);
  EXPECT_LE(ink.bottom, 4 + size.cy);
  int dark = 0;
  for (int y = ink.top; y < ink.bottom; ++y)
    for (int x = ink.left; x < ink.right; ++x) dark += GetRValue(At(x, y)) < 80;
  EXPECT_GT(dark, 5);  // real strokes, not a faint smear
}

TEST_F(Text, OpaqueModeFillsTheCellWithTheBackgroundColour) {
  SetBkMode(dc, OPAQUE);
  SetBkColor(dc, RGB(0, 255, 0));
  ASSERT_TRUE(TextOutA(dc, 0, 0, "ii", 2));
  SIZE size = Extent("ii");
  EXPECT_EQ(At(0, size.cy - 1), RGB(0, 255, 0));
  EXPECT_EQ(At(size.cx, 0), RGB(255, 255, 255));
}

TEST_F(Text, DrawTextCalcRectMeasuresLines) {
  RECT single{0, 0, 0, 0};
  int height = DrawTextA(dc, "Quit Player", -1, &single, DT_SINGLELINE | DT_CALCRECT);
  EXPECT_EQ(single.right, Extent("Quit Player").cx);
  EXPECT_EQ(height, Extent("Q").cy);
  RECT twoLines{0, 0, 0, 0};
  EXPECT_EQ(DrawTextA(dc, "one\r\ntwo", -1, &twoLines, DT_CALCRECT), 2 * height);
  RECT wrapped{0, 0, Extent("one two").cx, 0};
  EXPECT_EQ(DrawTextA(dc, "one two three", -1, &wrapped, DT_WORDBREAK | DT_CALCRECT), 2 * height);
  RECT prefixed{0, 0, 0, 0};
  DrawTextA(dc, "&File", -1, &prefixed, DT_SINGLELINE | DT_CALCRECT);
  EXPECT_EQ(prefixed.right, Extent("File").cx);
}

TEST_F(Text, DrawTextAlignsAndClips) {
  SetBkMode(dc, TRANSPARENT);
  SIZE size = Extent("W");
  RECT r{0, 0, kWidth, kHeight};
  DrawTextA(dc, "W", 1, &r, DT_RIGHT | DT_SINGLELINE | DT_VCENTER);
  RECT ink = InkBox();
  EXPECT_GE(ink.left, kWidth - size.cx - 1);
  EXPECT_LE(ink.right, kWidth);
  EXPECT_GE(ink.top, (kHeight - size.cy) / 2);
  // Clipped to the rectangle.
  RECT all{0, 0, kWidth, kHeight};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  RECT narrow{2, 2, 6, 20};
  DrawTextA(dc, "MMMMMM", -1, &narrow, DT_LEFT);
  ink = InkBox();
  EXPECT_GE(ink.left, 2);
  EXPECT_LE(ink.right, 6);
}

TEST_F(Text, EndEllipsisFitsTheWidth) {
  SetBkMode(dc, TRANSPARENT);
  RECT r{0, 0, 30, kHeight};
  DrawTextA(dc, "A long line of text", -1, &r, DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOCLIP);
  RECT ink = InkBox();
  EXPECT_LE(ink.right, 31);
  EXPECT_GT(ink.right, 20);
}

}  // namespace
