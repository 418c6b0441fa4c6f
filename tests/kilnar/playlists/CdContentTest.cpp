// The checks before a burn, through `kilnartool content`: names too long
// for the CD, tracks on a CD-ROM, and the player's additional installers
// in the registry.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "PlaylistFixtures.h"

namespace {

using kilnartest::Quoted;
using playlistfixtures::Field;
using playlistfixtures::Kilnartool;
using playlistfixtures::MakeMedia;

std::string Content(const std::string& arguments) {
  std::string output;
  std::string error;
  EXPECT_EQ(Kilnartool("content " + arguments, &output, &error), 0) << error;
  return output;
}

TEST(CdContentTest, NamesOfUpTo64CharactersFitTheCd) {
  const std::string folder = twltest::MakeTempDir("names");
  const struct {
    const char* behaviour;
    std::string album;
    std::string file;
    bool tooLong;
  } cases[] = {
      {"64 characters", "Album", std::string(60, 'a') + ".mp3", false},
      {"65 characters", "Album", std::string(61, 'a') + ".mp3", true},
      {"64 characters of two bytes each", "Album", std::string(30, 'a') + std::string(15, 'x') + "ééééééééééééééé.mp3", false},
      {"an album of 64", std::string(64, 'n'), "a.mp3", false},
      {"an album of 63 and an umlaut", std::string(63, 'n') + "ü", "a.mp3", true},
      {"a file of 63 and an umlaut", "Album", std::string(59, 'a') + "ü.mp3", true},
  };
  int number = 0;
  for (const auto& c : cases) {
    const std::string sub = folder + "/" + std::to_string(++number);
    MakeMedia(sub + "/" + c.file);
    twltest::WriteFile(sub + "/list.m3u", c.file + "\n");
    const std::string output = Content("--name " + Quoted(c.album) + " " + Quoted(sub + "/list.m3u"));
    EXPECT_EQ(Field(output, "long"), std::vector<std::string>{c.tooLong ? "1" : "0"}) << c.behaviour;
    EXPECT_EQ(Field(output, "long-name").size(), c.tooLong ? 1u : 0u) << c.behaviour;
  }
}

TEST(CdContentTest, ATooLongAlbumNameIsListedAsTypedAndATrackByItsPath) {
  const std::string folder = twltest::MakeTempDir("listed");
  const std::string file = std::string(70, 'f') + ".mp3";
  MakeMedia(folder + "/" + file);
  twltest::WriteFile(folder + "/list.m3u", file + "\n");
  const std::string album = std::string(63, 'n') + "ß";
  const std::string output = Content("--name " + Quoted(album) + " " + Quoted(folder + "/list.m3u"));
  EXPECT_EQ(Field(output, "long-name"), (std::vector<std::string>{album, folder + "/" + file}));
}

TEST(CdContentTest, ATrackInAFolderOnACdRomIsFound) {
  const std::string folder = twltest::MakeTempDir("tracks");
  MakeMedia(folder + "/disc/a.mp3");
  MakeMedia(folder + "/disk/b.mp3");
  twltest::WriteFile(folder + "/list.m3u", "disk/b.mp3\ndisc/a.mp3\n");
  EXPECT_EQ(Field(Content(Quoted(folder + "/list.m3u")), "cdrom"), std::vector<std::string>{"0"});
  EXPECT_EQ(Field(Content("--cdrom " + Quoted(folder + "/disc") + " " + Quoted(folder + "/list.m3u")), "cdrom"),
            std::vector<std::string>{"1"});
}

void SetInstaller(HKEY root, const char* name, const std::string& path) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(root, "Software\\Velbrook\\Velbrook Tunewell\\Additional Installers", 0, nullptr, 0,
                            KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                           static_cast<DWORD>(path.size() + 1)),
            ERROR_SUCCESS);
  RegCloseKey(key);
}

TEST(CdContentTest, AdditionalInstallersUnderTheMachineKeyOnlyAreRead) {
  const std::string folder = twltest::MakeTempDir("installers");
  const std::string first = MakeMedia(folder + "/first.exe");
  const std::string second = MakeMedia(folder + "/second.exe");
  twltest::WriteFile(folder + "/empty.exe", "");
  SetInstaller(HKEY_LOCAL_MACHINE, "First", first);
  SetInstaller(HKEY_LOCAL_MACHINE, "Missing", folder + "/missing.exe");
  SetInstaller(HKEY_LOCAL_MACHINE, "Empty", folder + "/empty.exe");
  SetInstaller(HKEY_LOCAL_MACHINE, "Second", second);
  twltest::WriteFile(folder + "/list.m3u", "");
  EXPECT_EQ(Field(Content(Quoted(folder + "/list.m3u")), "installer"), (std::vector<std::string>{first, second}));
  // A key under the user's own root is read instead.
  SetInstaller(HKEY_CURRENT_USER, "Own", first);
  EXPECT_EQ(Field(Content(Quoted(folder + "/list.m3u")), "installer"), std::vector<std::string>{first});
}

}  // namespace
