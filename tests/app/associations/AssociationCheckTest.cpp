#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "foundation/appcore/RegistryValues.h"
#include "playback/player/FileExtensionEnum.h"
#include "support/TestPaths.h"

namespace {

constexpr const char* kSettingsKey = "Software\\Velbrook\\Velbrook Tunewell";

std::string ProgramFolderOfTools() {
  const std::string tool = twltest::ProgramPath("twltool");
  return tool.substr(0, tool.find_last_of('/') + 1);
}

// Runs the check; `plugIns` false runs it with no player at all.
std::string Check(bool plugIns, const std::string& options) {
  const std::string folder = ProgramFolderOfTools();
  std::string output;
  const int status = twltest::RunCommand("'" + folder + "twltool' associations " +
                                             (plugIns ? "--plugins '" + folder + "PlugIns' " : std::string()) +
                                             options + " 2>&1",
                                         &output);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << output;
  return output;
}

std::string DefaultOf(const std::string& key, const char* value = nullptr) {
  HKEY opened = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, ("Software\\Classes\\" + key).c_str(), 0, KEY_QUERY_VALUE, &opened) !=
      ERROR_SUCCESS)
    return "<no key>";
  CStr text;
  const bool found = GetRegistryString(opened, value, text);
  RegCloseKey(opened);
  return found ? text.c_str() : "<none>";
}

void SetDefault(const std::string& key, const char* text) {
  HKEY created = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, ("Software\\Classes\\" + key).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                            nullptr, &created, nullptr),
            ERROR_SUCCESS);
  ASSERT_TRUE(SetRegistryString(created, nullptr, text));
  RegCloseKey(created);
}

bool StoredAsRegistered(const char* extension, bool* found) {
  HKEY key = nullptr;
  *found = false;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
  CFileExtensionEnum list;
  const bool loaded = list.LoadFromRegistry(key, "FileExtensions");
  RegCloseKey(key);
  const int index = loaded ? list.Find(extension) : -1;
  *found = index >= 0;
  return index >= 0 && list.GetEntry(index).registered;
}

std::string DefaultApplication(const std::string& mime) {
  std::string output;
  twltest::RunCommand("xdg-mime query default " + mime, &output);
  return output;
}

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(AssociationCheck, FirstStartOfferEveryExtensionAndRegistersTheTicked) {
  const std::string output = Check(true, "--answer ok --untick mp3");
  EXPECT_TRUE(Has(output, "dialog 2\n")) << output;
  EXPECT_TRUE(Has(output, "row wav 1 1\n")) << output;
  EXPECT_TRUE(Has(output, "row m3u 4 1\n")) << output;
  EXPECT_TRUE(Has(output, "row pls 4 1\n")) << output;
  EXPECT_TRUE(Has(output, "row png 2 1\n")) << output;

  const std::string program = ProgramFolderOfTools() + "twl";
  EXPECT_EQ(DefaultOf(".wav"), "VelbrookTunewell.AudioFile");
  EXPECT_EQ(DefaultOf(".mp3"), "<no key>") << "unticked in the dialog";
  EXPECT_EQ(DefaultOf("VelbrookTunewell.AudioFile\\shell\\play\\command"), "\"" + program + "\" -ag \"%1\" -p");
  EXPECT_EQ(DefaultOf("VelbrookTunewell.AudioFile\\shell\\addtolist\\command"), "\"" + program + "\" -a \"%1\"");
  EXPECT_EQ(DefaultOf("VelbrookTunewell.VideoFile\\DefaultIcon"), program + ",4");
  bool found = false;
  EXPECT_TRUE(StoredAsRegistered("wav", &found));
  EXPECT_TRUE(found);
  EXPECT_FALSE(StoredAsRegistered("mp3", &found));
  EXPECT_TRUE(found);

  EXPECT_EQ(DefaultApplication("audio/x-wav"), "VelbrookTunewell.AudioFile.desktop\n");
  const std::string desktop = twltest::ReadFile(std::string(std::getenv("XDG_DATA_HOME")) +
                                                "/applications/VelbrookTunewell.AudioFile.desktop");
  EXPECT_TRUE(Has(desktop, "Exec=\"" + program + "\" -ag %f -p\n")) << desktop;
  EXPECT_TRUE(Has(desktop, "NoDisplay=true\n")) << desktop;
}

TEST(AssociationCheck, AnotherProgramsDefaultIsKeptTakenBackAndGivenBack) {
  SetDefault(".wav", "Other.Player");
  Check(true, "--answer ok");
  EXPECT_EQ(DefaultOf(".wav"), "VelbrookTunewell.AudioFile");
  EXPECT_EQ(DefaultOf(".wav", "VelbrookTunewell.OldAssoc"), "Other.Player");

  // Another program takes .wav: only it is offered again.
  SetDefault(".wav", "Third.Player");
  std::string output = Check(true, "--answer ok");
  EXPECT_TRUE(Has(output, "dialog 3\nrow wav 1 1\n")) << output;
  EXPECT_FALSE(Has(output, "row mp3")) << output;
  EXPECT_EQ(DefaultOf(".wav"), "VelbrookTunewell.AudioFile");

  // No player plays it any more: the old program is back, on the desktop too.
  output = Check(false, "");
  EXPECT_TRUE(Has(output,
                  "removed file association for .wav files because they are not supported anymore by any of the "
                  "plugins.\n"))
      << output;
  EXPECT_FALSE(Has(output, "dialog")) << output;
  EXPECT_EQ(DefaultOf(".wav"), "Third.Player");
  EXPECT_EQ(DefaultOf(".wav", "VelbrookTunewell.OldAssoc"), "<none>");
  EXPECT_NE(DefaultApplication("audio/x-wav"), "VelbrookTunewell.AudioFile.desktop\n");
}

TEST(AssociationCheck, ACancelledFirstStartRegistersNothingButStoresTheList) {
  std::string output = Check(true, "--answer cancel");
  EXPECT_TRUE(Has(output, "dialog 2\n")) << output;
  EXPECT_EQ(DefaultOf(".wav"), "<no key>");
  bool found = false;
  EXPECT_FALSE(StoredAsRegistered("wav", &found));
  EXPECT_TRUE(found);
  output = Check(true, "--answer ok");
  EXPECT_FALSE(Has(output, "dialog")) << output;
  EXPECT_EQ(DefaultOf(".wav"), "<no key>");
}

}  // namespace
