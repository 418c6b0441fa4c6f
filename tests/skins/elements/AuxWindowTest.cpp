// The auxiliary window frame from a folder drawn by ImageMagick and in its
// compiled form.
#include <gtest/gtest.h>

#include <filesystem>

#include "../support/SkinTestSupport.h"
#include "foundation/bitmaps/DIBitmap.h"
#include "foundation/kernel/Error.h"
#include "skins/frames/AuxWindowSkin.h"
#include "skins/masks/Mask.h"
#include "support/TestPaths.h"

using namespace skintest;

namespace {

// A 60 x 50 frame: borders 8 pixels wide (top green, left red, right
// blue, bottom yellow), a cyan caption inside the top border, a magenta
// transparent corner.
const char* const kMapDrawing =
    "-size 60x50 xc:black "
    "-fill '#00ff00' -draw 'rectangle 0,0 59,7' -fill '#ffff00' -draw 'rectangle 0,42 59,49' "
    "-fill '#ff0000' -draw 'rectangle 0,8 7,41' -fill '#0000ff' -draw 'rectangle 52,8 59,41' "
    "-fill '#00ffff' -draw 'rectangle 10,2 40,5' -fill '#ff00ff' -draw 'rectangle 0,0 3,3'";

const char* const kIni =
    "Left=2,20\nTop=50,1\nRight=55,20\nBottom=20,45\nCaption=20,3\nTransparent=0,0\n"
    "Margins=8,8,8,8\nHorzExpansionType=tile\nHorzExpansionCut=false\n";

std::string DrawAuxFolder(const std::string& ini = kIni, const char* map = kMapDrawing) {
  const std::string folder = twltest::MakeTempDir("aux") + "/";
  EXPECT_EQ(Shell("convert -size 60x50 -seed 9 plasma:fractal -type TrueColor BMP3:" + Quote(folder + "AuxWindow.bmp")), 0);
  EXPECT_EQ(Shell(std::string("convert ") + map + " -type TrueColor BMP3:" + Quote(folder + "AuxWindowMask.bmp")), 0);
  twltest::WriteFile(folder + "AuxWindow.ini", ini);
  return folder;
}

std::string SaveCompiled(const CAuxWindowSkin& aux) {
  CMemoryStream out;
  OpenWritable(out);
  aux.SaveCompiled(out);
  return StreamBytes(out);
}

void LoadCompiled(CAuxWindowSkin& aux, const std::string& payload) {
  BytesStream in(payload);
  aux.LoadCompiled(*in, static_cast<DWORD>(payload.size()));
}

}  // namespace

TEST(AuxWindowSkin, FolderFrameIsCutIntoNinePartsWithMasksAndCaption) {
  RequireImageMagick();
  CAuxWindowSkin aux;
  aux.LoadFromFolder(DrawAuxFolder().c_str());
  const DWORD widths[3] = {8, 44, 8}, heights[3] = {8, 34, 8};
  for (int i = 0; i < 9; ++i) {
    ASSERT_NE(aux.GetPart(i), nullptr) << i;
    EXPECT_EQ(aux.GetPart(i)->GetWidth(), widths[i % 3]) << i;
    EXPECT_EQ(aux.GetPart(i)->GetHeight(), heights[i / 3]) << i;
    ASSERT_NE(aux.GetMask(i), nullptr) << "a part without transparent pixels gets a mask of all ones: " << i;
  }
  const CMask& corner = *aux.GetMask(0);
  EXPECT_EQ(corner.GetBytes()[0], 0) << "transparent";
  EXPECT_EQ(corner.GetBytes()[4], 1);
  EXPECT_EQ(corner.GetBytes()[3 * 8 + 3], 0);
  const CMask& middle = *aux.GetMask(4);
  for (int i = 0; i < 44 * 34; ++i) ASSERT_EQ(middle.GetBytes()[i], 1);
  const RECT caption = aux.GetCaptionRect();
  EXPECT_TRUE(caption.left == 10 && caption.top == 2 && caption.right == 41 && caption.bottom == 6);
  EXPECT_EQ(aux.GetMargin(0), 8);
  EXPECT_EQ(aux.GetHorzExpansionType(), CVarSizeWindowSkin::kTile);
  EXPECT_FALSE(aux.GetHorzExpansionCut());
  EXPECT_EQ(aux.GetVertExpansionType(), CVarSizeWindowSkin::kStretch);
  EXPECT_TRUE(aux.GetVertExpansionCut());
  EXPECT_EQ(aux.GetCaptionFont(), nullptr);
}

TEST(AuxWindowSkin, WithoutCaptionAndTransparentThereAreNeither) {
  RequireImageMagick();
  CAuxWindowSkin aux;
  aux.LoadFromFolder(DrawAuxFolder("Left=2,20\nTop=50,1\nRight=55,20\nBottom=20,45\n").c_str());
  for (int i = 0; i < 9; ++i) EXPECT_EQ(aux.GetMask(i), nullptr);
  const RECT caption = aux.GetCaptionRect();
  EXPECT_TRUE(caption.left == 0 && caption.top == 0 && caption.right == 0 && caption.bottom == 0);
}

TEST(AuxWindowSkin, FolderFaults) {
  RequireImageMagick();
  const std::string outside =
      "The 'Left' entry in 'AuxWindow.ini' specifies a point (60,20) outside the corresponding bitmap (60 x 50)";
  const struct {
    const char* name;
    std::string ini;
    const char* map;
    std::string error;
    const char* caption;
  } cases[] = {
      {"Left at x = width is outside", "Left=60,20\nTop=50,1\nRight=55,20\nBottom=20,45\n", kMapDrawing, outside, "Skin error"},
      {"missing Left and Bottom give two lines", "Top=50,1\nRight=55,20\n", kMapDrawing,
       "Unable to find 'Left' entry in 'AuxWindow.ini'.\nUnable to find 'Bottom' entry in 'AuxWindow.ini'.\n", "Skin error"},
      {"borders touching", "Left=2,20\nTop=50,1\nRight=55,20\nBottom=20,45\n",
       "-size 60x50 xc:black -fill '#00ff00' -draw 'rectangle 0,0 59,7' -fill '#ffff00' -draw 'rectangle 0,42 59,49' "
       "-fill '#ff0000' -draw 'rectangle 0,8 29,41' -fill '#0000ff' -draw 'rectangle 30,8 59,41'",
       "The left and right borders of the AuxWindow must be at least one pixel apart.", "Skin error"},
      {"borders intersecting", "Left=2,20\nTop=50,1\nRight=55,20\nBottom=20,45\n",
       "-size 60x50 xc:black -fill '#00ff00' -draw 'rectangle 0,0 59,7' -fill '#ffff00' -draw 'rectangle 0,42 59,49' "
       "-fill '#ff0000' -draw 'rectangle 0,5 7,41' -fill '#0000ff' -draw 'rectangle 52,8 59,41'",
       "The bounding rectangles of the masks defining the left, top, right and bottom borders of AuxWindow must not "
       "intersect.",
       "Skin error"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CAuxWindowSkin aux;
    const std::string folder = DrawAuxFolder(c.ini, c.map);
    EXPECT_EQ(ExpectError([&] { aux.LoadFromFolder(folder.c_str()); }, c.error), c.caption);
    EXPECT_EQ(aux.GetPart(0), nullptr);
  }

  // x = width - 1 passes the point check (and lands in the right border).
  CAuxWindowSkin aux;
  const std::string folder = DrawAuxFolder("Left=59,20\nTop=50,1\nRight=55,20\nBottom=20,45\n");
  try {
    aux.LoadFromFolder(folder.c_str());
    FAIL() << "Left in the right border was accepted";
  } catch (CError* error) {
    EXPECT_EQ(std::string(error->GetText().c_str()).find("outside"), std::string::npos) << error->GetText().c_str();
    DisposeError(error);
  }

  const std::string noIni = DrawAuxFolder();
  std::filesystem::remove(noIni + "AuxWindow.ini");
  EXPECT_EQ(ExpectError([&] { aux.LoadFromFolder(noIni.c_str()); }, "Unable to find 'AuxWindow.ini'"), "Skin Error");
  std::filesystem::remove(noIni + "AuxWindowMask.bmp");
  EXPECT_EQ(ExpectError([&] { aux.LoadFromFolder(noIni.c_str()); }, "Unable to find bitmap 'AuxWindowMask'.\n"), "Skin Error");
}

TEST(AuxWindowSkin, CompiledRoundTripAndItsSettingsReadByPython) {
  RequireImageMagick();
  RequirePython();
  CAuxWindowSkin aux;
  aux.LoadFromFolder(DrawAuxFolder().c_str());
  const std::string payload = SaveCompiled(aux);
  CAuxWindowSkin read;
  LoadCompiled(read, payload);
  EXPECT_EQ(SaveCompiled(read), payload) << "reading and writing again changes nothing";
  for (int i = 0; i < 9; ++i) EXPECT_NE(read.GetMask(i), nullptr);

  const std::string file = twltest::MakeTempDir("smsc") + "/aux.bin";
  twltest::WriteFile(file, payload);
  std::string output;
  ASSERT_EQ(Shell("python3 -c 'import struct,sys; d=open(sys.argv[1],\"rb\").read(); i=d.index(b\"SMSC\"); "
                  "n,=struct.unpack_from(\"<I\",d,i+4); print(n, *struct.unpack_from(\"<12i\",d,i+8))' " + Quote(file),
                  &output),
            0)
      << output;
  EXPECT_EQ(output, "48 8 8 8 8 1 0 0 1 10 2 31 4\n");
}

namespace {

std::string Part(DWORD width, DWORD height) {
  return Bytes().U32(32 + width * height * 4).U32(0).U32(width).U32(height).U32(32).U32(0xFF).U32(0xFF00).U32(0xFF0000).U32(0)
      .Zeros(width * height * 4).str();
}

// Parts of the given column widths and row heights; `change` alters one
// part's size.
std::string Parts(int changed = -1, DWORD width = 0, DWORD height = 0) {
  const char* tags[9] = {"BTLT", "BTMD", "BTRT", "BMLT", "BMMD", "BMRT", "BBLT", "BBMD", "BBRT"};
  const DWORD widths[3] = {2, 3, 2}, heights[3] = {2, 4, 1};
  Bytes parts;
  for (int i = 0; i < 9; ++i)
    parts.Chunk(std::string(tags[i]), i == changed ? Part(width, height) : Part(widths[i % 3], heights[i / 3]));
  return parts.str();
}

std::string Settings(INT horz = 0, INT vert = 1) {
  return Bytes().U32(1).U32(2).U32(3).U32(4).I32(horz).I32(vert).U32(1).U32(0).U32(1).U32(1).U32(5).U32(2).str();
}

}  // namespace

TEST(AuxWindowSkin, CompiledPayloadCases) {
  const std::string sbmp = Bytes().Chunk("SBMP", Parts()).str();
  const std::string smsc = Bytes().Chunk("SMSC", Settings()).str();
  const std::string mask = Bytes().U32(3).U32(2).Zeros(6).str();
  const struct {
    const char* name;
    std::string payload;
    bool loads;
  } cases[] = {
      {"parts and settings", sbmp + smsc, true},
      {"no SMSC", sbmp, false},
      {"SMSK before SBMP", Bytes().Chunk("SMSK", "").str() + sbmp + smsc, false},
      {"a vertical expansion type of 2", sbmp + Bytes().Chunk("SMSC", Settings(0, 2)).str(), false},
      {"SMSC of 47 bytes", sbmp + Bytes().Chunk("SMSC", Settings().substr(0, 47)).str(), false},
      {"an unknown sub-chunk in SMSK, then a mask", sbmp + Bytes().Chunk("SMSK", Bytes().Chunk("XTRA", "abcdef").Chunk("MTMD", mask)).str() + smsc, true},
      {"a mask of another size than its part", sbmp + Bytes().Chunk("SMSK", Bytes().Chunk("MTLT", mask)).str() + smsc, false},
      {"a missing part", Bytes().Chunk("SBMP", Parts().substr(0, Parts().find("BBRT"))).str() + smsc, false},
      {"a second SBMP", sbmp + sbmp + smsc, false},
      // The part grid must be consistent for the painters.
      {"a top-middle part narrower than the middle", Bytes().Chunk("SBMP", Parts(1, 2, 2)).str() + smsc, false},
      {"a middle-right part lower than its row", Bytes().Chunk("SBMP", Parts(5, 2, 3)).str() + smsc, false},
      {"an empty corner", Bytes().Chunk("SBMP", Parts(8, 0, 0)).str() + smsc, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CAuxWindowSkin aux;
    if (c.loads) {
      LoadCompiled(aux, c.payload);
      EXPECT_EQ(aux.GetMargin(3), 4);
      EXPECT_EQ(aux.GetVertExpansionType(), CVarSizeWindowSkin::kTile);
      EXPECT_TRUE(aux.GetHorzExpansionCut());
      EXPECT_FALSE(aux.GetVertExpansionCut());
      const RECT caption = aux.GetCaptionRect();
      EXPECT_TRUE(caption.left == 1 && caption.top == 1 && caption.right == 6 && caption.bottom == 3);
      continue;
    }
    ExpectError([&] { LoadCompiled(aux, c.payload); }, kCorrupted);
    EXPECT_EQ(aux.GetPart(4), nullptr);
  }
}

TEST(AuxWindowSkin, SkincDescribesTheFolderAndTheCompiledFormAlike) {
  RequireImageMagick();
  const std::string folder = DrawAuxFolder();
  const std::string skinc = Quote(twltest::ProgramPath("skinc"));
  std::string folderOut, compiledOut, err;
  ASSERT_EQ(RunTool(skinc + " describe aux " + Quote(folder), &folderOut, &err), 0) << err;
  ASSERT_EQ(RunTool(skinc + " describe aux " + Quote(folder) + " --compiled", &compiledOut, &err), 0) << err;
  EXPECT_EQ(folderOut,
            "Part0: 8x8\nPart1: 44x8\nPart2: 8x8\nPart3: 8x34\nPart4: 44x34\nPart5: 8x34\nPart6: 8x8\nPart7: 44x8\n"
            "Part8: 8x8\nMasks: 0,1,2,3,4,5,6,7,8\nMargins: 8,8,8,8\nHorzExpansion: tile,whole\n"
            "VertExpansion: stretch,cut\nCaption: 10,2,41,6\nCaptionFont: none\n");
  EXPECT_EQ(compiledOut, folderOut);

  twltest::WriteFile(folder + "AuxWindow.ini", "Top=50,1\n");
  EXPECT_EQ(RunTool(skinc + " describe aux " + Quote(folder), &folderOut, &err), 1);
  EXPECT_NE(err.find("Unable to find 'Left' entry in 'AuxWindow.ini'."), std::string::npos) << err;
}
