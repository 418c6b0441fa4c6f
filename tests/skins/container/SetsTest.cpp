// The skin-wide colour set (Colors.ini, "COLR") and font set (font
// pictures, "FONT").
#include <gtest/gtest.h>

#include <memory>

#include "../../foundation/support/LargestAllocation.h"
#include "../support/SkinTestSupport.h"
#include "foundation/bitmaps/BitmapFont.h"
#include "skins/sets/SkinColorSet.h"
#include "skins/sets/SkinFontSet.h"
#include "support/TestPaths.h"

using namespace skintest;

namespace {

enum : int { Background = 8, Text = 9, HighlightedText = 10, ControlBackground = 11, ControlText = 12, ListBackground = 14,
             ListText = 15, ListHighlightedText = 16, TreeBackground = 17, EditBackground = 20, ComboBackground = 23,
             ComboText = 24, Visualizer1 = 30, Visualizer3 = 32 };

CSkinColorSet ColorsFrom(const std::string& text) {
  const std::string folder = twltest::MakeTempDir("colors") + "/";
  twltest::WriteFile(folder + "Colors.ini", text);
  CSkinColorSet colors;
  EXPECT_TRUE(colors.LoadFromFolder(folder.c_str(), "Colors.ini"));
  return colors;
}

}  // namespace

TEST(SkinColorSet, FallbacksOfAColourFile) {
  const CSkinColorSet background = ColorsFrom("Background=202020\n");
  for (int index : {Background, ControlBackground, ListBackground, TreeBackground, EditBackground, ComboBackground})
    EXPECT_EQ(background.m_Colors[index], 0x00202020u) << CSkinColorSet::GetColorName(index);
  EXPECT_EQ(background.m_Colors[ListText], 0x00FFFFFFu);
  EXPECT_EQ(background.m_Colors[ListHighlightedText], 0x000000FFu);
  EXPECT_TRUE(background.IsLoaded());

  const CSkinColorSet text = ColorsFrom("ControlText=00ff00\nText = 123456\nComboText=abcdef\n");
  EXPECT_EQ(text.m_Colors[ListText], 0x0000FF00u);
  EXPECT_EQ(text.m_Colors[Text], 0x00563412u);
  EXPECT_EQ(text.m_Colors[ComboText], 0x00EFCDABu);

  EXPECT_EQ(ColorsFrom("Draw=FFFF00\n").m_Colors[0], ColorsFrom("Draw=ffff00\n").m_Colors[0]);
  EXPECT_EQ(ColorsFrom("").m_Colors[HighlightedText], 0x000000FFu);
}

TEST(SkinColorSet, BadValuesThrowTheParsersLinesUnderTheSkinErrorCaption) {
  for (const char* value : {"ffff0", "ffff000", "gg0000"}) {
    const std::string folder = twltest::MakeTempDir("bad") + "/";
    twltest::WriteFile(folder + "Colors.ini", std::string("Text=ffffff\nDraw=") + value + "\n");
    CSkinColorSet colors;
    const std::string caption = ExpectError([&] { colors.LoadFromFolder(folder.c_str(), "Colors.ini"); },
                                            "value must be a color of the form rrggbb with each digit in the range 0-F");
    EXPECT_EQ(caption, "Skin Error") << value;
  }
}

TEST(SkinColorSet, MissingFileLeavesTheDefaults) {
  CSkinColorSet colors;
  colors.m_Colors[3] = 1;
  EXPECT_FALSE(colors.LoadFromFolder((twltest::MakeTempDir("none") + "/").c_str(), "Colors.ini"));
  EXPECT_FALSE(colors.IsLoaded());
  for (int i = 0; i < CSkinColorSet::kColorCount; ++i) EXPECT_EQ(colors.m_Colors[i], CSkinColorSet::GetDefaultColor(i));
}

TEST(SkinColorSet, ColrPayloads) {
  auto payload = [](DWORD count, DWORD colours) {
    Bytes bytes;
    bytes.U32(count);
    for (DWORD i = 0; i < colours; ++i) bytes.U32(0x00100000 + i);
    return bytes.str();
  };
  {
    const std::string thirty = payload(30, 30);
    BytesStream in(thirty);
    CSkinColorSet colors;
    colors.Read(*in, static_cast<DWORD>(thirty.size()));
    EXPECT_EQ(colors.m_Colors[29], 0x0010001Du);
    EXPECT_EQ(colors.m_Colors[Visualizer1], CSkinColorSet::GetDefaultColor(Visualizer1));
    EXPECT_TRUE(colors.IsLoaded());
  }
  {
    const std::string forty = payload(40, 40) + "next";
    BytesStream in(forty);
    CSkinColorSet colors;
    colors.Read(*in, 164);
    EXPECT_EQ(colors.m_Colors[Visualizer3], 0x00100020u);
    EXPECT_EQ(in->GetPosition(), 164) << "33 colours read, 28 bytes skipped";
  }
  const struct {
    const char* name;
    std::string payload;
  } faults[] = {
      {"three bytes", "abc"},
      {"more colours than bytes", payload(34, 33)},
      // 4 x 0x40000001 wraps to 4 in 32 bits.
      {"a count whose byte size wraps", payload(0x40000001, 1)},
  };
  for (const auto& fault : faults) {
    SCOPED_TRACE(fault.name);
    BytesStream in(fault.payload);
    CSkinColorSet colors;
    ExpectError([&] { colors.Read(*in, static_cast<DWORD>(fault.payload.size())); }, kCorrupted);
  }
}

namespace {

// A marked font picture: markers at columns 1, 5, 9 and 13 of the top
// row give four glyphs, the last closed by the picture's last column.
void DrawFont(const std::string& path, int height = 6) {
  ASSERT_EQ(Shell("convert -size 20x" + std::to_string(height) +
                  " xc:black -fill white -draw 'rectangle 2,2 3,4' -fill red -draw 'point 1,0' -draw 'point 5,0' "
                  "-draw 'point 9,0' -draw 'point 13,0' -type TrueColor BMP3:" + Quote(path)),
            0);
}

}  // namespace

TEST(SkinFontSet, FolderFontsAndTheirCompiledFormRoundTrip) {
  RequireImageMagick();
  const std::string folder = twltest::MakeTempDir("fonts") + "/";
  DrawFont(folder + "fontNormal.bmp");
  DrawFont(folder + "FONTBUTTONDOWN.BMP");
  CSkinFontSet fonts;
  ASSERT_TRUE(fonts.LoadFromFolder(folder.c_str(), ""));
  ASSERT_NE(fonts.GetFont(0), nullptr);
  ASSERT_NE(fonts.GetFont(4), nullptr) << "pictures are found whatever the case of their names";
  EXPECT_EQ(fonts.GetFont(1), nullptr);
  EXPECT_EQ(fonts.GetFont(0)->GetGlyphCount(), 4);
  EXPECT_EQ(fonts.GetFont(0)->GetGlyphHeight(), 5);

  CMemoryStream out;
  OpenWritable(out);
  fonts.Write(out);
  const std::string bytes = StreamBytes(out);
  EXPECT_EQ(bytes.substr(0, 4), "FNML");
  BytesStream in(bytes);
  CSkinFontSet read;
  read.Read(*in, static_cast<DWORD>(bytes.size()));
  ASSERT_NE(read.GetFont(0), nullptr);
  ASSERT_NE(read.GetFont(4), nullptr);
  EXPECT_EQ(read.GetFont(2), nullptr);
  EXPECT_EQ(read.GetFont(4)->GetGlyphCount(), 4);
  EXPECT_EQ(read.GetFont(4)->GetGlyphs()[3].width, 6);
  EXPECT_EQ(read.GetFont(4)->GetGlyphHeight(), 5);

  CSkinFontSet taken;
  taken.TakeFrom(read);
  EXPECT_TRUE(taken.IsLoaded());
  EXPECT_FALSE(read.IsLoaded());
  EXPECT_EQ(read.GetFont(0), nullptr);
  EXPECT_NE(taken.GetFont(0), nullptr);
}

TEST(SkinFontSet, OnlyTheHighlightedFontLoadsWithoutANormalOne) {
  RequireImageMagick();
  const std::string folder = twltest::MakeTempDir("highlighted") + "/";
  DrawFont(folder + "fontHighlighted.bmp");
  CSkinFontSet fonts;
  EXPECT_TRUE(fonts.LoadFromFolder(folder.c_str(), ""));
  EXPECT_TRUE(fonts.IsLoaded());
  EXPECT_EQ(fonts.GetFont(0), nullptr);
  EXPECT_NE(fonts.GetFont(1), nullptr);
  EXPECT_FALSE(fonts.LoadFromFolder((twltest::MakeTempDir("nofonts") + "/").c_str(), ""));
}

TEST(SkinFontSet, FontPayloads) {
  const std::string font = Bytes()
                               .Chunk("FNTC", Bytes().U32(2).U32(0).U32(1).U32(0).U32(1))
                               .Chunk("FNTB", Bytes().U32(40).U32(0).U32(1).U32(2).U32(32).U32(0xFF).U32(0xFF00).U32(0xFF0000).U32(0).Zeros(8))
                               .str();
  const std::string withUnknown = Bytes().Chunk("XTRA", "123").Chunk("FHIL", font).str();
  BytesStream in(withUnknown);
  CSkinFontSet fonts;
  fonts.Read(*in, static_cast<DWORD>(withUnknown.size()));
  EXPECT_NE(fonts.GetFont(1), nullptr);
  EXPECT_TRUE(fonts.IsLoaded());

  const std::string twice = Bytes().Chunk("FNML", font).Chunk("FNML", font).str();
  BytesStream again(twice);
  ExpectError([&] { fonts.Read(*again, static_cast<DWORD>(twice.size())); }, kCorrupted);

  CSkinFontSet empty;
  BytesStream nothing("");
  empty.Read(*nothing, 0);
  EXPECT_FALSE(empty.IsLoaded());
}
