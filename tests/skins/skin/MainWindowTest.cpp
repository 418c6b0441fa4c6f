// One mode of the main window, from folders drawn by ImageMagick and in
// its compiled form.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "../support/SkinTestSupport.h"
#include "foundation/bitmaps/DIBitmap.h"
#include "foundation/kernel/Error.h"
#include "skins/bars/BarScript.h"
#include "skins/mainwindow/MainWindowSkin.h"
#include "skins/masks/Mask.h"
#include "support/TestPaths.h"

using namespace skintest;

namespace {

enum : int { kPlay = 0, kStop = 1, kPause = 2 };

// A 60 x 40 window. Map: red for two separate shapes (both buttons point
// into red), orange fills the pause button's rectangle, a blue L for the
// volume bar, green fills the position bar, yellow the drag area, cyan
// the info area, grey levels the time areas, a magenta corner.
const char* const kMap =
    "-size 60x40 xc:black "
    "-fill '#ff0000' -draw 'rectangle 2,2 11,11' -draw 'rectangle 20,2 25,7' "
    "-fill '#ff8000' -draw 'rectangle 30,12 35,17' "
    "-fill '#0000ff' -draw 'rectangle 40,12 57,14' -draw 'rectangle 40,15 42,18' "
    "-fill '#00ff00' -draw 'rectangle 2,20 57,24' "
    "-fill '#ffff00' -draw 'rectangle 30,2 57,8' "
    "-fill '#00ffff' -draw 'rectangle 2,27 40,31' "
    "-fill '#101010' -draw 'rectangle 2,33 6,37' -fill '#202020' -draw 'rectangle 8,33 12,37' "
    "-fill '#303030' -draw 'rectangle 14,33 18,37' -fill '#404040' -draw 'rectangle 20,33 24,37' "
    "-fill '#505050' -draw 'rectangle 26,33 30,37' "
    "-fill '#ff00ff' -draw 'rectangle 0,0 1,1'";

const std::string kIni =
    "ButtonPlay=3,3\nButtonStop=21,3\nAnimButtonPause=31,13\nButtonPause=31,13\nVolumeBar=41,13\n"
    "ProgressBar=10,22\nDragArea=40,5\nInfo=5,28\nTransparent=0,0\nControlWindowHook=10,-5\n"
    "ControlWindowRelativeDisplacement=12.5 %\nColorInfoCursor=102030\n";

std::string Draw(const std::string& ini = kIni, const std::string& prefix = "") {
  const std::string folder = twltest::MakeTempDir("main") + "/";
  int seed = 1;
  for (const char* state : {"Normal", "Hover", "Down", "Disabled"})
    EXPECT_EQ(Shell("convert -size 60x40 -seed " + std::to_string(seed++) + " plasma:fractal -type TrueColor BMP3:" +
                    Quote(folder + prefix + "MainWindow" + state + ".bmp")),
              0);
  EXPECT_EQ(Shell(std::string("convert ") + kMap + " -type TrueColor BMP3:" + Quote(folder + prefix + "MainWindowMask.bmp")), 0);
  twltest::WriteFile(folder + prefix + "MainWindow.ini", ini);
  return folder;
}

std::string LoadError(const std::string& folder, const char* prefix = "") {
  CMainWindowSkin main;
  try {
    main.Load(folder.c_str(), prefix);
  } catch (CError* error) {
    const std::string text = error->GetText().c_str();
    DisposeError(error);
    EXPECT_FALSE(main.IsLoaded());
    return text;
  }
  return "loaded";
}

bool RectIs(const RECT& r, LONG left, LONG top, LONG right, LONG bottom) {
  return r.left == left && r.top == top && r.right == right && r.bottom == bottom;
}

}  // namespace

TEST(MainWindowSkin, ElementsAreCutOutOfTheMap) {
  RequireImageMagick();
  CMainWindowSkin main;
  main.Load(Draw().c_str(), "");
  ASSERT_TRUE(main.IsLoaded());
  // Two buttons in the same colour share the bounding box of both shapes.
  EXPECT_TRUE(RectIs(main.GetButton(kPlay).GetRect(), 2, 2, 26, 12));
  EXPECT_TRUE(RectIs(main.GetButton(kStop).GetRect(), 2, 2, 26, 12));
  ASSERT_NE(main.GetButton(kPlay).GetMask(), nullptr);
  EXPECT_EQ(main.GetButton(kPlay).GetState(3)->GetWidth(), 24u);
  // A colour that fills its rectangle needs no mask.
  EXPECT_TRUE(main.GetButton(kPause).IsDefined());
  EXPECT_EQ(main.GetButton(kPause).GetMask(), nullptr);
  EXPECT_TRUE(main.GetAnimButton(kPause).IsDefined());
  EXPECT_EQ(main.GetAnimButton(kPause).GetStateCount(), 3);
  EXPECT_FALSE(main.GetButton(5).IsDefined()) << "not given";
  EXPECT_EQ(main.GetBar(0).GetMask(), nullptr);
  ASSERT_NE(main.GetBar(1).GetMask(), nullptr);
  EXPECT_TRUE(RectIs(main.GetBar(1).GetRect(), 40, 12, 58, 19));
  EXPECT_EQ(main.GetBar(1).GetScript(), nullptr) << "no VolumeBar.ini: a plain picture";
  EXPECT_TRUE(RectIs(main.GetAreaRect(CMainWindowSkin::kDragArea), 30, 2, 58, 9));
  EXPECT_TRUE(RectIs(main.GetAreaRect(CMainWindowSkin::kInfo), 2, 27, 41, 32));
  EXPECT_TRUE(RectIs(main.GetAreaRect(CMainWindowSkin::kTime1), 0, 0, 0, 0));
  ASSERT_NE(main.GetMask(CMainWindowSkin::kWindowMask), nullptr);
  EXPECT_EQ(main.GetMask(CMainWindowSkin::kWindowMask)->GetBytes()[0], 0);
  EXPECT_EQ(main.GetMask(CMainWindowSkin::kWindowMask)->GetBytes()[2], 1);
  EXPECT_EQ(main.GetMask(CMainWindowSkin::kDragMask), nullptr);
  EXPECT_EQ(main.GetControlWindowHook().x, 10);
  EXPECT_EQ(main.GetControlWindowHook().y, -5);
  EXPECT_DOUBLE_EQ(main.GetControlWindowDisplacement(), 0.125);
  EXPECT_EQ(main.GetInfoCursorColor(), 0x00302010u);
}

TEST(MainWindowSkin, FolderCases) {
  RequireImageMagick();
  const std::string hook = "ViewerWindowHook=0,40\n";
  const struct {
    const char* name;
    std::string ini;
    std::string result;
  } cases[] = {
      {"no element at all", hook, "loaded"},
      {"Time1 alone", hook + "Time1=3,34\n", "loaded"},
      {"Time3 alone lists the others",
       hook + "Time3=15,34\n",
       "Unable to find 'Time1' entry in 'MainWindow.ini' (if you specify any 'TimeX' that is not 'Time1' you have to "
       "specify ALL entries from 'Time1' to 'Time5').\n"
       "Unable to find 'Time2' entry in 'MainWindow.ini' (if you specify any 'TimeX' that is not 'Time1' you have to "
       "specify ALL entries from 'Time1' to 'Time5').\n"
       "Unable to find 'Time4' entry in 'MainWindow.ini' (if you specify any 'TimeX' that is not 'Time1' you have to "
       "specify ALL entries from 'Time1' to 'Time5').\n"
       "Unable to find 'Time5' entry in 'MainWindow.ini' (if you specify any 'TimeX' that is not 'Time1' you have to "
       "specify ALL entries from 'Time1' to 'Time5').\n"},
      {"no hook", "ButtonPlay=3,3\n", "Unable to find 'ViewerWindowHook' entry in 'MainWindow.ini'.\n"},
      {"a point outside, a hook outside is fine", "ViewerWindowHook=-100,900\nAnimButtonExit=60,3\n",
       "The 'AnimButtonExit' entry in 'MainWindow.ini' specifies a point (60,3) outside the corresponding bitmap (60 x "
       "40)\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(LoadError(Draw(c.ini)), c.result) << c.name;

  CMainWindowSkin main;
  main.Load(Draw(hook + "Time1=3,34\n").c_str(), "");
  EXPECT_TRUE(RectIs(main.GetAreaRect(CMainWindowSkin::kTime1), 2, 33, 7, 38));
  EXPECT_EQ(main.GetInfoCursorColor(), CMainWindowSkin::kNoCursorColor);
}

TEST(MainWindowSkin, MissingAndMismatchedFiles) {
  RequireImageMagick();
  const std::string folder = Draw();
  EXPECT_EQ(LoadError(folder, "Mini"),
            "Unable to find bitmap 'MiniMainWindowNormal'.\nUnable to find bitmap 'MiniMainWindowHover'.\n"
            "Unable to find bitmap 'MiniMainWindowDown'.\nUnable to find bitmap 'MiniMainWindowDisabled'.\n"
            "Unable to find bitmap 'MiniMainWindowMask'.\n");
  const std::string mini = Draw(kIni, "Mini");
  std::filesystem::remove(mini + "MiniMainWindow.ini");
  EXPECT_EQ(LoadError(mini, "Mini"), "Unable to find 'MiniMainWindow.ini'");
  ASSERT_EQ(Shell("convert -size 61x40 xc:red BMP3:" + Quote(folder + "MainWindowDown.bmp")), 0);
  EXPECT_EQ(LoadError(folder),
            "The bitmaps 'MainWindowDown' (61 x 40) and 'MainWindowNormal' (60 x 40) must be the same size.\n");
}

TEST(MainWindowSkin, BarScriptPointsAreCheckedAgainstTheBar) {
  RequireImageMagick();
  const struct {
    const char* name;
    std::string script;
    std::string result;
  } cases[] = {
      {"points on the bar", "41,13\n41,13\nLine\n56,13\n", "loaded"},
      {"a way point outside the area", "41,13\n41,13\nLine\n58,13\n",
       "The points describing the path of 'VolumeBar' must be inside its area (invalid point: (58,13), "
       "area=(40,12,58,19))"},
      {"a way point masked out", "41,13\n41,13\nLine\n45,17\n",
       "The points describing the path of 'VolumeBar' must not be in the region that has been masked out (invalid "
       "point: (5,5))"},
      {"a fill point masked out", "50,18\n41,13\nLine\n56,13\n",
       "The fill point of 'VolumeBar' must not be in the region that has been masked out (invalid point: (10,6))"},
      {"a fill point outside the area", "39,13\n41,13\nLine\n56,13\n",
       "The fill point of 'VolumeBar' must be inside its area (invalid point: (39,13), area=(40,12,58,19))"},
  };
  for (const auto& c : cases) {
    const std::string folder = Draw();
    twltest::WriteFile(folder + "VolumeBar.ini", c.script);
    EXPECT_EQ(LoadError(folder), c.result) << c.name;
  }
  const std::string folder = Draw();
  twltest::WriteFile(folder + "VolumeBar.ini", "41,13\n41,13\nLine\n56,13\n");
  CMainWindowSkin main;
  main.Load(folder.c_str(), "");
  ASSERT_NE(main.GetBar(1).GetScript(), nullptr);
  EXPECT_EQ(main.GetBar(1).GetScript()->GetPoints()[1].x, 16) << "relative to the bar's area";
}

TEST(MainWindowSkin, CompiledRoundTripKeepsEverything) {
  RequireImageMagick();
  const std::string folder = Draw(kIni + "ViewerWindowRelativeDisplacement=33.33 %\nTime1=3,34\n");
  twltest::WriteFile(folder + "VolumeBar.ini", "41,13\n41,13\nLine(-30)\n56,13\n");
  CMainWindowSkin main;
  main.Load(folder.c_str(), "");
  CMemoryStream out;
  OpenWritable(out);
  main.SaveCompiled(out);
  const std::string payload = StreamBytes(out);
  CMainWindowSkin read;
  BytesStream in(payload);
  read.LoadCompiled(*in, static_cast<DWORD>(payload.size()));
  for (int i = 0; i < CMainWindowSkin::kAreaCount; ++i) {
    const RECT a = main.GetAreaRect(i), b = read.GetAreaRect(i);
    EXPECT_TRUE(RectIs(b, a.left, a.top, a.right, a.bottom)) << i;
  }
  EXPECT_EQ(read.GetButton(kStop).GetRect().right, 26);
  EXPECT_TRUE(read.GetAnimButton(kPause).IsDefined());
  ASSERT_NE(read.GetBar(1).GetScript(), nullptr);
  EXPECT_EQ(read.GetControlWindowHook().y, -5);
  EXPECT_DOUBLE_EQ(read.GetControlWindowDisplacement(), std::trunc(0.3333 * 65536) / 65536);
  EXPECT_EQ(read.GetInfoCursorColor(), 0x00302010u);
  CMemoryStream again;
  OpenWritable(again);
  read.SaveCompiled(again);
  EXPECT_EQ(StreamBytes(again), payload);
}

namespace {

// A compiled payload around a 1 x 1 background.
std::string Background() {
  return Bytes()
      .U32(36).U32(0).U32(1).U32(1).U32(32).U32(0xFF).U32(0xFF00).U32(0xFF0000).U32(0).U32(7)
      .U32(16).U32(7).U32(1).U32(0).U32(100)
      .str();
}

std::string Areas(DWORD count, DWORD bytes) {
  Bytes areas;
  areas.U32(count);
  for (DWORD i = 0; 4 + 16 * (i + 1) <= bytes; ++i) areas.I32(i).I32(0).I32(1).I32(1);
  return areas.str();
}

}  // namespace

TEST(MainWindowSkin, CompiledPayloadCases) {
  const std::string sbkg = Bytes().Chunk("SBKG", Background()).str();
  const std::string sare = Bytes().Chunk("SARE", Areas(9, 148)).str();
  const std::string sctr = Bytes().Chunk("SCTR", Bytes().I32(-32768).I32(3).I32(4)).str();
  const struct {
    const char* name;
    std::string payload;
    bool loads;
  } cases[] = {
      {"background, areas and placement", sbkg + sare + sctr, true},
      {"ten areas announced in 164 bytes", sbkg + Bytes().Chunk("SARE", Areas(10, 164)).str() + sctr, true},
      {"ten areas announced in 148 bytes", sbkg + Bytes().Chunk("SARE", Areas(10, 148)).str() + sctr, false},
      // 16 x 0x10000001 wraps to 16 in 32 bits.
      {"an area count whose size wraps", sbkg + Bytes().Chunk("SARE", Areas(0x10000001, 20)).str() + sctr, false},
      {"no SCTR", sbkg + sare, false},
      {"an SCTR of 11 bytes", sbkg + sare + Bytes().Chunk("SCTR", std::string(11, '\0')).str(), false},
      {"SMSK before SBKG", sare + Bytes().Chunk("SMSK", "").str() + sbkg + sctr, false},
      {"a second SARE", sbkg + sare + sare + sctr, false},
      {"a cursor colour count beyond its chunk", sbkg + sare + sctr + Bytes().Chunk("SCLR", Bytes().U32(2).U32(1)).str(), false},
      {"a font outside the font table", sbkg + sare + sctr + Bytes().Chunk("SFNT", Bytes().Chunk("FNML", "")).str(), false},
      {"a window mask of another size", sbkg + sare + sctr + Bytes().Chunk("SMSK", Bytes().Chunk("MWND", Bytes().U32(2).U32(1).Zeros(2))).str(), false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CMainWindowSkin main;
    BytesStream in(c.payload);
    if (c.loads) {
      main.LoadCompiled(*in, static_cast<DWORD>(c.payload.size()));
      EXPECT_TRUE(main.IsLoaded());
      EXPECT_EQ(main.GetInfoCursorColor(), CMainWindowSkin::kNoCursorColor) << "no SCLR";
      EXPECT_DOUBLE_EQ(main.GetControlWindowDisplacement(), -0.5);
      EXPECT_TRUE(RectIs(main.GetAreaRect(8), 8, 0, 9, 1)) << "the ninth area";
      continue;
    }
    ExpectError([&] { main.LoadCompiled(*in, static_cast<DWORD>(c.payload.size())); }, kCorrupted);
    EXPECT_FALSE(main.IsLoaded());
  }
}
