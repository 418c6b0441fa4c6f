// The control window frame from folders drawn by ImageMagick (both name
// families, the 320-pixel client rule) and in its compiled form.
#include <gtest/gtest.h>

#include <filesystem>

#include "../support/SkinTestSupport.h"
#include "foundation/bitmaps/BitmapFont.h"
#include "foundation/bitmaps/DIBitmap.h"
#include "foundation/kernel/Error.h"
#include "skins/frames/ControlWindowSkin.h"
#include "skins/masks/Mask.h"
#include "support/TestPaths.h"

using namespace skintest;

namespace {

struct ControlFolder {
  int width = 340;
  std::string ini = "Top=5,5\nMid=5,30\nBottom=5,50\nTransparent=0,0\nMargins=10,12,10,8\nExpansionType=tile\n";
  std::string family = "ViewerWindow";
  // Rows of the three bands in the map (the mid colour's rows).
  int midTop = 12, midBottom = 44;
  std::string extra;  // drawn over the map last
  std::string prefix;
};

// Top band colour in rows 0-11 (with a magenta corner), mid colour in the
// given rows, bottom colour from row 45.
std::string Draw(const ControlFolder& f) {
  const std::string folder = twltest::MakeTempDir("control") + "/";
  const std::string size = std::to_string(f.width) + "x60";
  const std::string right = std::to_string(f.width - 1);
  EXPECT_EQ(Shell("convert -size " + size + " -seed 2 plasma:fractal -type TrueColor BMP3:" +
                  Quote(folder + f.prefix + f.family + ".bmp")),
            0);
  EXPECT_EQ(Shell("convert -size " + size + " xc:'#102030' -fill '#ff0000' -draw 'rectangle 0,0 " + right +
                  ",11' -fill '#00ff00' -draw 'rectangle 0," + std::to_string(f.midTop) + " " + right + "," +
                  std::to_string(f.midBottom) + "' -fill '#0000ff' -draw 'rectangle 0,45 " + right +
                  ",59' -fill '#ff00ff' -draw 'rectangle 0,0 2,2' " + f.extra + " -type TrueColor BMP3:" +
                  Quote(folder + f.prefix + f.family + "Mask.bmp")),
            0);
  twltest::WriteFile(folder + f.prefix + f.family + ".ini", f.ini);
  return folder;
}

std::string LoadError(const ControlFolder& f) {
  CControlWindowSkin control;
  const std::string folder = Draw(f);
  try {
    control.Load(folder.c_str(), f.prefix.c_str());
  } catch (CError* error) {
    const std::string text = error->GetText().c_str();
    DisposeError(error);
    return text;
  }
  return "loaded";
}

}  // namespace

TEST(ControlWindowSkin, FolderBandsMasksAndSettings) {
  RequireImageMagick();
  CControlWindowSkin control;
  ControlFolder f;
  control.Load(Draw(f).c_str(), "");
  ASSERT_TRUE(control.IsLoaded());
  const DWORD heights[3] = {12, 33, 15};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(control.GetPart(i)->GetWidth(), 340u);
    EXPECT_EQ(control.GetPart(i)->GetHeight(), heights[i]);
    ASSERT_NE(control.GetMask(i), nullptr) << "all ones where nothing is transparent";
  }
  EXPECT_EQ(control.GetMask(0)->GetBytes()[0], 0);
  EXPECT_EQ(control.GetMask(0)->GetBytes()[3], 1);
  EXPECT_EQ(control.GetMargin(1), 12);
  EXPECT_EQ(control.GetExpansionType(), CVarSizeWindowSkin::kTile);
  EXPECT_TRUE(control.GetExpansionCut());
  EXPECT_EQ(control.GetColorSet(), nullptr);
  EXPECT_EQ(control.GetFontSet(), nullptr);
}

TEST(ControlWindowSkin, FolderCases) {
  RequireImageMagick();
  const auto with = [](auto change) {
    ControlFolder f;
    change(f);
    return f;
  };
  const struct {
    const char* name;
    ControlFolder folder;
    std::string result;
  } cases[] = {
      {"319 pixels is too small", with([](ControlFolder& f) { f.width = 319; }),
       "The bitmap 'ViewerWindow' must have a width of at least 320 pixels.\n"},
      {"341 pixels with margins 10 and 10", with([](ControlFolder& f) { f.width = 341; }),
       "The left/right margins defined in 'ViewerWindow.ini' are invalid. The client area must have a width of exactly "
       "320 pixels. The given margins would result in a width of 321 pixels.\n"},
      {"320 pixels without margins", with([](ControlFolder& f) {
         f.width = 320;
         f.ini = "Top=5,5\nMid=5,30\nBottom=5,50\n";
       }),
       "loaded"},
      {"340 pixels without margins", with([](ControlFolder& f) { f.ini = "Top=5,5\nMid=5,30\nBottom=5,50\n"; }),
       "No margins were specified in 'ViewerWindow.ini' so they are assumed to be 0. The client area must have a "
       "width of exactly 320 pixels. The zero margins would result in a width of 340 pixels.\n\n"},
      {"the second name family", with([](ControlFolder& f) { f.family = "ControlWindow"; }), "loaded"},
      {"the second family with a prefix", with([](ControlFolder& f) {
         f.family = "ControlWindow";
         f.prefix = "Sm";
       }),
       "loaded"},
      {"mid and bottom sharing rows, not columns",
       with([](ControlFolder& f) { f.extra = "-fill '#00ff00' -draw 'rectangle 330,50 335,52'"; }),
       "The bounding rectangles of the masks defining the top, mid and bottom part of the control window must not "
       "intersect."},
      {"a point outside and a missing entry", with([](ControlFolder& f) { f.ini = "Top=5,60\nMid=5,30\nMargins=10,0,10,0\n"; }),
       "The 'Top' entry in 'ViewerWindow.ini' specifies a point (5,60) outside the corresponding bitmap (340 x 60)\n"
       "Unable to find 'Bottom' entry in 'ViewerWindow.ini'.\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(LoadError(c.folder), c.result) << c.name;
}

TEST(ControlWindowSkin, MissingPicturesAndIniAreNamed) {
  RequireImageMagick();
  const std::string folder = twltest::MakeTempDir("missing") + "/";
  CControlWindowSkin control;
  EXPECT_EQ(ExpectError([&] { control.Load(folder.c_str(), "Mini"); },
                        "Unable to find bitmap 'MiniViewerWindow'.\nUnable to find bitmap 'MiniViewerWindowMask'.\n"),
            "Skin Error");
  ControlFolder f;
  const std::string drawn = Draw(f);
  std::filesystem::remove(drawn + "ViewerWindow.ini");
  EXPECT_EQ(ExpectError([&] { control.Load(drawn.c_str(), ""); }, "Unable to find 'ViewerWindow.ini'"), "Skin Error");
}

TEST(ControlWindowSkin, OwnColoursAndFontsTravelThroughTheCompiledForm) {
  RequireImageMagick();
  ControlFolder f;
  const std::string folder = Draw(f);
  twltest::WriteFile(folder + "ControlWindowColors.ini", "Background=112233\n");
  ASSERT_EQ(Shell("convert -size 12x6 xc:black -fill red -draw 'point 1,0' -draw 'point 6,0' -type TrueColor BMP3:" +
                  Quote(folder + "fontControlWindowNormal.bmp")),
            0);
  CControlWindowSkin control;
  control.Load(folder.c_str(), "");
  ASSERT_NE(control.GetColorSet(), nullptr);
  ASSERT_NE(control.GetFontSet(), nullptr);

  CMemoryStream out;
  OpenWritable(out);
  control.SaveCompiled(out);
  const std::string payload = StreamBytes(out);
  CControlWindowSkin read;
  BytesStream in(payload);
  read.LoadCompiled(*in, static_cast<DWORD>(payload.size()));
  ASSERT_NE(read.GetColorSet(), nullptr);
  EXPECT_EQ(read.GetColorSet()->m_Colors[14], 0x00332211u) << "ListBackground from Background";
  ASSERT_NE(read.GetFontSet(), nullptr);
  EXPECT_EQ(read.GetFontSet()->GetFont(0)->GetGlyphCount(), 2);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(read.GetPart(i)->GetHeight(), control.GetPart(i)->GetHeight());
    EXPECT_NE(read.GetMask(i), nullptr);
  }
  CMemoryStream again;
  OpenWritable(again);
  read.SaveCompiled(again);
  EXPECT_EQ(StreamBytes(again), payload);
}

namespace {

std::string Band(DWORD width, DWORD height) {
  return Bytes().U32(32 + width * height * 4).U32(0).U32(width).U32(height).U32(32).U32(0xFF).U32(0xFF00).U32(0xFF0000).U32(0)
      .Zeros(width * height * 4).str();
}

std::string Bands(DWORD middleWidth = 4, DWORD middleHeight = 2) {
  return Bytes().Chunk("BTOP", Band(4, 1)).Chunk("BMID", Band(middleWidth, middleHeight)).Chunk("BBTM", Band(4, 3)).str();
}

std::string Smsc(INT type) { return Bytes().U32(1).U32(2).U32(3).U32(4).I32(type).U32(0).str(); }

}  // namespace

TEST(ControlWindowSkin, CompiledPayloadCases) {
  const std::string sbmp = Bytes().Chunk("SBMP", Bands()).str();
  const std::string smsc = Bytes().Chunk("SMSC", Smsc(1)).str();
  const struct {
    const char* name;
    std::string payload;
    bool loads;
  } cases[] = {
      {"bands and settings, no masks", sbmp + smsc, true},
      {"an expansion type of 2", sbmp + Bytes().Chunk("SMSC", Smsc(2)).str(), false},
      {"no SMSC", sbmp, false},
      {"SMSK before SBMP", Bytes().Chunk("SMSK", "").str() + sbmp + smsc, false},
      {"a second SCLR", sbmp + smsc + Bytes().Chunk("SCLR", Bytes().U32(0)).Chunk("SCLR", Bytes().U32(0)).str(), false},
      {"SMSC of 23 bytes", sbmp + Bytes().Chunk("SMSC", Smsc(1).substr(0, 23)).str(), false},
      // The three bands must be equally wide and not empty.
      {"a narrower middle band", Bytes().Chunk("SBMP", Bands(3, 2)).str() + smsc, false},
      {"an empty middle band", Bytes().Chunk("SBMP", Bands(4, 0)).str() + smsc, false},
      {"a missing band", Bytes().Chunk("SBMP", Bands().substr(0, Bands().find("BBTM"))).str() + smsc, false},
      {"a mask of another size than its band",
       sbmp + Bytes().Chunk("SMSK", Bytes().Chunk("MMID", Bytes().U32(4).U32(3).Zeros(12))).str() + smsc, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CControlWindowSkin control;
    BytesStream in(c.payload);
    if (c.loads) {
      control.LoadCompiled(*in, static_cast<DWORD>(c.payload.size()));
      EXPECT_EQ(control.GetMask(1), nullptr);
      EXPECT_EQ(control.GetMargin(3), 4);
      EXPECT_FALSE(control.GetExpansionCut());
      continue;
    }
    ExpectError([&] { control.LoadCompiled(*in, static_cast<DWORD>(c.payload.size())); }, kCorrupted);
    EXPECT_FALSE(control.IsLoaded());
  }
}

TEST(ControlWindowSkin, SkincDescribesTheFolderAndTheCompiledFormAlike) {
  RequireImageMagick();
  ControlFolder f;
  f.prefix = "Sm";
  const std::string folder = Draw(f);
  const std::string skinc = Quote(twltest::ProgramPath("skinc"));
  std::string folderOut, compiledOut, err;
  ASSERT_EQ(RunTool(skinc + " describe control " + Quote(folder) + " Sm", &folderOut, &err), 0) << err;
  ASSERT_EQ(RunTool(skinc + " describe control " + Quote(folder) + " Sm --compiled", &compiledOut, &err), 0) << err;
  EXPECT_EQ(folderOut,
            "Band0: 340x12\nBand1: 340x33\nBand2: 340x15\nMasks: 0,1,2\nMargins: 10,12,10,8\nExpansion: tile,cut\n"
            "Colors: skin\nFonts: skin\n");
  EXPECT_EQ(compiledOut, folderOut);
}
