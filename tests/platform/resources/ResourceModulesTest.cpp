// Resources of several modules: each module finds its own, a plug-in's go
// when it is unloaded, and tables with broken data are refused.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>

#include "Pictures.h"
#include "support/TestPaths.h"

namespace {

std::string RawData(HMODULE module, int id) {
  HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), "RAWDATA");
  if (!found) return "<missing>";
  return std::string(static_cast<const char*>(LockResource(LoadResource(module, found))),
                     SizeofResource(module, found));
}

TEST(ResourceModules, EachModuleFindsItsOwn) {
  HMODULE plugin = LoadLibraryA(TWL_RESOURCE_PLUGIN);
  ASSERT_NE(plugin, nullptr);
  EXPECT_EQ(RawData(plugin, 131), "plug-in data");
  EXPECT_EQ(RawData(nullptr, 131).size(), 772u) << "the program's own";
  EXPECT_EQ(RawData(plugin, 134), "<missing>") << "the program's version is not the plug-in's";

  char text[32];
  EXPECT_EQ(LoadStringA(plugin, 1000, text, sizeof text), 7);
  EXPECT_STREQ(text, "Plug-in");
  HICON pluginIcon = LoadIconA(plugin, MAKEINTRESOURCEA(101));
  ASSERT_NE(pluginIcon, nullptr);
  EXPECT_NE(pluginIcon, LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(101)));
  EXPECT_TRUE(FreeLibrary(plugin));
}

TEST(ResourceModules, ResourcesOfAnUnloadedPluginAreGone) {
  HMODULE plugin = LoadLibraryA(TWL_RESOURCE_PLUGIN);
  ASSERT_NE(plugin, nullptr);
  HRSRC found = FindResourceA(plugin, MAKEINTRESOURCEA(131), "RAWDATA");
  ASSERT_NE(found, nullptr);
  HICON icon = LoadIconA(plugin, MAKEINTRESOURCEA(101));
  ASSERT_TRUE(FreeLibrary(plugin));

  SetLastError(0);
  EXPECT_EQ(SizeofResource(plugin, found), 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_EQ(LockResource(reinterpret_cast<HGLOBAL>(found)), nullptr);
  ICONINFO info{};
  EXPECT_TRUE(GetIconInfo(icon, &info)) << "a loaded icon keeps its pixels";
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);

  HMODULE again = LoadLibraryA(TWL_RESOURCE_PLUGIN);
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(RawData(again, 131), "plug-in data");
  FreeLibrary(again);
}

TEST(ResourceModules, ModuleWithoutResourcesSaysSo) {
  HMODULE bare = LoadLibraryA(TWL_BARE_PLUGIN);
  ASSERT_NE(bare, nullptr);
  SetLastError(0);
  EXPECT_EQ(FindResourceA(bare, MAKEINTRESOURCEA(131), "RAWDATA"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_DATA_NOT_FOUND));
  EXPECT_EQ(LoadIconA(bare, MAKEINTRESOURCEA(101)), nullptr);
  FreeLibrary(bare);
}

TEST(ResourceModules, ExtractIconReadsLoadedModulesAndIconFiles) {
  HMODULE plugin = LoadLibraryA(TWL_RESOURCE_PLUGIN);
  ASSERT_NE(plugin, nullptr);
  EXPECT_EQ(ExtractIconA(nullptr, TWL_RESOURCE_PLUGIN, static_cast<UINT>(-1)), reinterpret_cast<HICON>(1))
      << "the number of icons";
  HICON icon = ExtractIconA(nullptr, TWL_RESOURCE_PLUGIN, 0);
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(IconPicture(icon).At(21, 9), 0x50AF28u) << "the plug-in's paletted icon";
  EXPECT_NE(icon, LoadIconA(plugin, MAKEINTRESOURCEA(101))) << "an extracted icon is the caller's own";
  EXPECT_TRUE(DestroyIcon(icon));
  EXPECT_EQ(ExtractIconA(nullptr, TWL_RESOURCE_PLUGIN, 1), nullptr);
  FreeLibrary(plugin);
  EXPECT_EQ(ExtractIconA(nullptr, TWL_RESOURCE_PLUGIN, 0), nullptr) << "a module that is not loaded";

  const std::string folder = twltest::MakeTempDir("icons");
  twltest::WriteFile(folder + "/Player.ico",
                     twltest::ReadFile(twltest::SourceDir() + "/tests/platform/resources/data/two-sizes.ico"));
  HICON fromFile = ExtractIconA(nullptr, (folder + "\\PLAYER.ICO").c_str(), 0);
  ASSERT_NE(fromFile, nullptr);
  EXPECT_EQ(IconPicture(fromFile).width, 32);
  DestroyIcon(fromFile);
  twltest::WriteFile(folder + "/notes.txt", "not an icon");
  EXPECT_EQ(ExtractIconA(nullptr, (folder + "/notes.txt").c_str(), 0), nullptr);
}

// Resource data the readers must not trust: a table registered by hand,
// as a module built by other means could carry.
const BYTE kTruncatedIcon[] = {0, 0, 1, 0, 1, 0, 32, 32, 0, 0, 1, 0, 32, 0, 0xFF, 0xFF, 0, 0, 22, 0, 0, 0};
const BYTE kIconPointingPastTheEnd[] = {0, 0, 1, 0, 1, 0, 16, 16, 0, 0, 1, 0, 32, 0,
                                        40, 0, 0, 0, 0xF0, 0xFF, 0xFF, 0x7F};
const BYTE kHugeBitmap[] = {40, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0x7F, 1, 0, 0, 0, 1, 0, 24, 0, 0, 0, 0, 0,
                            0,  0, 0, 0, 0,    0,    0,    0,    0, 0, 0, 0, 0, 0, 0,  0, 0, 0, 0, 0};
const BYTE kPaletteOverrun[] = {40, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0, 1, 0, 8, 0, 0, 0, 0, 0,
                                0,  0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0};
const BYTE kRunLengthBitmap[] = {40, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0, 1, 0, 8, 0, 1, 0, 0, 0,
                                 0,  0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
const BYTE kNotAnIcon[] = {'G', 'I', 'F', '8', '9', 'a'};

const TWL_RESOURCE kBroken[] = {
    {14, nullptr, 901, nullptr, kTruncatedIcon, sizeof kTruncatedIcon},
    {14, nullptr, 902, nullptr, kIconPointingPastTheEnd, sizeof kIconPointingPastTheEnd},
    {14, nullptr, 903, nullptr, kNotAnIcon, sizeof kNotAnIcon},
    {12, nullptr, 904, nullptr, kNotAnIcon, 0},
    {2, nullptr, 905, nullptr, kHugeBitmap, sizeof kHugeBitmap},
    {2, nullptr, 906, nullptr, kPaletteOverrun, sizeof kPaletteOverrun},
    {2, nullptr, 907, nullptr, kRunLengthBitmap, sizeof kRunLengthBitmap},
};
const TWL_RESOURCE_TABLE kBrokenTable = {TWL_RESOURCE_TABLE_VERSION, sizeof kBroken / sizeof kBroken[0], kBroken};

TEST(ResourceModules, BrokenDataIsRefusedNotRead) {
  TwlRegisterResources(&kBrokenTable, &kBrokenTable);
  HINSTANCE program = GetModuleHandleA(nullptr);
  for (int id : {901, 902, 903}) {
    SetLastError(0);
    EXPECT_EQ(LoadIconA(program, MAKEINTRESOURCEA(id)), nullptr) << id;
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_DATA)) << id;
  }
  EXPECT_EQ(LoadCursorA(program, MAKEINTRESOURCEA(904)), nullptr);
  for (int id : {905, 906, 907}) {
    SetLastError(0);
    EXPECT_EQ(LoadImageA(program, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, 0), nullptr) << id;
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_DATA)) << id;
  }
  TwlUnregisterResources(&kBrokenTable);
  EXPECT_EQ(FindResourceA(program, MAKEINTRESOURCEA(905), RT_BITMAP), nullptr);
  EXPECT_NE(FindResourceA(program, MAKEINTRESOURCEA(143), RT_BITMAP), nullptr) << "the program's own stay";
}

}  // namespace
