// Whole skins from folders (copies of the built-in skin's folder, changed
// per case) and compiled files: the version check, the font limits, the
// optional modes, and skins that never end half-loaded.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>

#include "../support/SkinTestSupport.h"
#include "foundation/errors/ThreadErrorState.h"
#include "foundation/kernel/Error.h"
#include "skins/skin/Skin.h"
#include "support/TestPaths.h"

using namespace skintest;

namespace {

// A copy of the built-in skin's folder to change.
std::string CopyOfBuiltinFolder() {
  const std::string folder = twltest::MakeTempDir("skin") + "/Slate/";
  std::filesystem::copy(twltest::SourceDir() + "/resources/skins/builtin", folder);
  return folder;
}

void SetVersions(const std::string& folder, const std::string& lines) {
  twltest::WriteFile(folder + "Skin.ini", "Name=Slate\n" + lines);
}

// Loads the folder; "loaded" or the error's caption and text.
std::string Load(CSkin& skin, const std::string& folder) {
  try {
    skin.LoadFromFolder(folder.c_str());
  } catch (CError* error) {
    const std::string message = std::string(error->GetCaption().c_str()) + ": " + error->GetText().c_str();
    DisposeError(error);
    return message;
  }
  return "loaded";
}

// A marked font picture: glyph widths from the markers at these columns,
// `height` rows of glyphs below the marker row.
void DrawFont(const std::string& path, const std::vector<int>& markers, int width, int height) {
  std::string draw;
  for (int x : markers) draw += " -draw 'point " + std::to_string(x) + ",0'";
  ASSERT_EQ(Shell("convert -size " + std::to_string(width) + "x" + std::to_string(height + 1) +
                  " xc:black -fill red" + draw + " -type TrueColor BMP3:" + Quote(path)),
            0);
}

}  // namespace

TEST(Skin, TheBuiltinFolderLoadsWithItsModes) {
  CSkin skin;
  ASSERT_EQ(Load(skin, CopyOfBuiltinFolder()), "loaded");
  EXPECT_TRUE(skin.IsLoaded());
  EXPECT_NE(skin.GetMainWindowSkin(2), nullptr);
  EXPECT_NE(skin.GetControlWindowSkin(1), nullptr) << "SmViewerWindow.ini alone is enough";
  EXPECT_EQ(skin.GetControlWindowSkin(2), nullptr);
  EXPECT_TRUE(skin.GetColorSet()->IsLoaded());
  EXPECT_EQ(skin.GetInfo().m_Name, "Built-in");
}

TEST(Skin, PlayerVersionCheck) {
  const std::string folder = CopyOfBuiltinFolder();
  CSkin skin;
  SetVersions(folder, "MinPlayerVersion=1.76\nDevelopedForPlayerVersion=1.80\n");
  EXPECT_EQ(Load(skin, folder),
            "Skin error: To use this skin you need a newer version of Velbrook Tunewell (version 1.76 or higher). "
            "You're currently running version 1.75.");
  EXPECT_FALSE(skin.IsLoaded());
  SetVersions(folder, "MinPlayerVersion=1.75\nDevelopedForPlayerVersion=1.80\n");
  EXPECT_EQ(Load(skin, folder), "loaded");
}

// No picture is read before the versions: a folder of nothing but a
// Skin.ini without its minimum version fails on that, not on a picture.
TEST(Skin, MissingMinimumVersionFailsBeforeAnyPicture) {
  const std::string folder = twltest::MakeTempDir("bare") + "/";
  SetVersions(folder, "DevelopedForPlayerVersion=1.75\n");
  CSkin skin;
  EXPECT_EQ(Load(skin, folder), "Error: 'MinPlayerVersion' entry is missing in Skin.ini.");
}

TEST(Skin, FontLimitsAreReportedTogether) {
  RequireImageMagick();
  const std::string folder = CopyOfBuiltinFolder();
  // 17 rows high; glyphs 0..2 of widths 3, 13, 14: only the first too
  // wide one is reported.
  DrawFont(folder + "fontHighlighted.bmp", {1, 4, 17, 31}, 33, 17);
  DrawFont(folder + "fontButtonDisabled.bmp", {1, 2, 15}, 17, 7);
  CSkin skin;
  EXPECT_EQ(Load(skin, folder),
            "Skin error: The following errors occurred while loading the skin:\n\n"
            "The characters in font 'fontHighlighted' exceed the maximum character height (16).\n"
            "Character 1 ('\x01', width: 13) in font 'fontHighlighted' exceeds the maximum character width (12).\n"
            "Character 1 ('\x01', width: 13) in font 'fontButtonDisabled' exceeds the maximum character width (12).\n");
  EXPECT_FALSE(skin.IsLoaded());

  std::filesystem::remove(folder + "fontNormal.bmp");
  DrawFont(folder + "fontHighlighted.bmp", {1, 4}, 8, 16);
  DrawFont(folder + "fontButtonDisabled.bmp", {1, 4}, 8, 16);
  EXPECT_EQ(Load(skin, folder),
            "Skin error: The following errors occurred while loading the skin:\n\n"
            "Unable to find the font 'fontNormal'.\n");
}

// Skin folders whose files would cost without bound: pictures of a few
// bytes claiming 20,000 x 20,000 pixels each, and a named pipe (which no
// one writes) or a device in place of an ini file. Each is refused.
TEST(Skin, FoldersThatWouldCostWithoutBoundAreRefused) {
  const std::string huge = RunLengthBMP(20000, 20000);
  struct Row {
    const char* what;
    std::function<void(const std::string& folder)> spoil;
    std::string error;
  };
  const Row rows[] = {
      {"run-length pictures",
       [&](const std::string& folder) {
         for (const char* state : {"Normal", "Hover", "Down", "Disabled"})
           twltest::WriteFile(folder + "MainWindow" + state + ".bmp", huge);
       },
       "Skin error: The bitmap 'MainWindowNormal.bmp' is too large for a skin (20000 x 20000 pixels; at most 16384 "
       "on a side and 16777216 pixels in all)."},
      {"a named pipe as the main window's ini file",
       [](const std::string& folder) {
         std::filesystem::remove(folder + "MainWindow.ini");
         ASSERT_EQ(mkfifo((folder + "MainWindow.ini").c_str(), 0600), 0);
       },
       "MainWindow.ini' is no file but a pipe or a device: it is not read."},
      {"a device as the skin's information",
       [](const std::string& folder) {
         std::filesystem::remove(folder + "Skin.ini");
         std::filesystem::create_symlink("/dev/zero", folder + "Skin.ini");
       },
       "Skin.ini' is no file but a pipe or a device: it is not read."},
  };
  for (const Row& row : rows) {
    const std::string folder = CopyOfBuiltinFolder();
    row.spoil(folder);
    CSkin skin;
    const std::string result = Load(skin, folder);
    EXPECT_NE(result.find(row.error), std::string::npos) << row.what << ": " << result;
    EXPECT_FALSE(skin.IsLoaded()) << row.what;
  }
}

TEST(Skin, OptionalFilesAndModes) {
  const std::string folder = CopyOfBuiltinFolder();
  std::filesystem::remove(folder + "Colors.ini");
  std::filesystem::rename(folder + "MiniMainWindow.ini", folder + "MiniViewerWindow.ini");
  CSkin skin;
  ASSERT_EQ(Load(skin, folder), "loaded");
  EXPECT_EQ(skin.GetMainWindowSkin(2), nullptr) << "no MiniMainWindow.ini";
  EXPECT_EQ(skin.GetControlWindowSkin(2), nullptr) << "the viewer name does not count for mode 2";
  EXPECT_FALSE(skin.GetColorSet()->IsLoaded());
  EXPECT_EQ(skin.GetColorSet()->m_Colors[8], CSkinColorSet::GetDefaultColor(8));
}

TEST(Skin, FailedLoadsLeaveAnEmptySkinWhoseGettersWork) {
  const std::string folder = CopyOfBuiltinFolder();
  std::filesystem::remove(folder + "AuxWindow.ini");
  CSkin skin;
  EXPECT_EQ(Load(skin, folder), "Skin Error: Unable to find 'AuxWindow.ini'");
  EXPECT_FALSE(skin.IsLoaded());
  ASSERT_NE(skin.GetMainWindowSkin(0), nullptr);
  EXPECT_FALSE(skin.GetMainWindowSkin(0)->IsLoaded());
  EXPECT_EQ(skin.GetMainWindowSkin(2), nullptr);
  EXPECT_EQ(skin.GetControlWindowSkin(1), nullptr);
  EXPECT_FALSE(skin.GetAuxWindowSkin()->IsLoaded());
}

// A compiled skin for a newer player is refused while its information is
// read: its data, here not even a zlib stream, is never unpacked.
TEST(Skin, CompiledSkinForANewerPlayerIsRefusedBeforeItsDataIsUnpacked) {
  for (DWORD minimum : {0x1004Cu, 0x1004Bu}) {
    const std::string body = Bytes()
                                 .Chunk("INFO", Bytes().Chunk("IPVR", Bytes().U32(minimum).U32(minimum)))
                                 .Chunk("DATA", Bytes().U32(1).U32(100).U32(0).U32(4).Raw("junk"))
                                 .str();
    const std::string file = Bytes().Raw("Ostrell skin").U32(static_cast<DWORD>(body.size())).Raw(body).str();
    CSkin skin;
    BytesStream in(file);
    ExpectError([&] { skin.LoadCompiled(*in); },
                minimum == 0x1004C ? "(version 1.76 or higher). You're currently running version 1.75." : kCorrupted);
    EXPECT_TRUE(skin.GetInfo().m_Name.IsEmpty()) << "cleared";
  }
}
