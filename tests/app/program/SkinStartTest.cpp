// twl's start with its skin: a stored skin it cannot read gives way to the
// built-in one, which becomes the stored choice; a program whose built-in
// skin is damaged ends its start with the message and exit code 1.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "ProgramFolder.h"
#include "support/TestPaths.h"

using programtest::Contains;
using programtest::kDone;
using programtest::kSettingsPath;

namespace {


std::string StoredSkin() {
  const char* database = std::getenv("TWL_REGISTRY");
  EXPECT_NE(database, nullptr);
  std::string output;
  const std::string query = std::string("select cast(data as text) from registry where path = 'HKEY_CURRENT_USER\\") +
                            kSettingsPath + "' and name = 'Skin';";
  EXPECT_EQ(twltest::RunCommand("sqlite3 '" + std::string(database) + "' \"" + query + "\"", &output), 0);
  while (!output.empty() && (output.back() == '\n' || output.back() == '\0')) output.pop_back();
  return output;
}

void StoreSkin(const char* name) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueExA(key, "Skin", 0, REG_SZ, reinterpret_cast<const BYTE*>(name),
                           static_cast<DWORD>(std::strlen(name) + 1)),
            ERROR_SUCCESS);
  RegCloseKey(key);
}

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The built-in skin as this test program carries it: the same bytes twl has.
std::string BuiltInSkin() {
  HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(131), "RAWDATA");
  if (!found) return {};
  const void* data = LockResource(LoadResource(nullptr, found));
  return std::string(static_cast<const char*>(data), SizeofResource(nullptr, found));
}

}  // namespace

TEST(TwlSkinStart, AStoredSkinThatCannotBeReadGivesWayToTheBuiltInOne) {
  const std::string folder = twltest::MakeTempDir("badskin");
  programtest::InstallProgram(folder, programtest::BuiltTwl());
  std::filesystem::create_directories(folder + "/Skins");
  std::ofstream(folder + "/Skins/Broken.s4u", std::ios::binary) << "not a skin at all";
  StoreSkin("Broken.s4u");

  const pid_t pid = programtest::Start(folder, {});
  const bool started = programtest::WaitForText(folder + "/Log.txt", kDone);
  kill(pid, SIGTERM);
  EXPECT_EQ(programtest::Wait(pid), 0);
  const std::string log = programtest::ReadText(folder + "/Log.txt");
  ASSERT_TRUE(started) << log << programtest::ReadText(folder + "/stderr.txt");
  const std::string lines[] = {
      "Initializing skin...\r\n",
      "    Loading skin '" + folder + "/Skins/Broken.s4u'...failed\r\n",
      "\r\nThe default skin will be used instead...\r\n\r\n",
      "    Loading skin '<default>'...done (",
      "skin initialization done\r\n",
  };
  size_t from = 0;
  for (const std::string& line : lines) {
    const size_t at = log.find(line, from);
    EXPECT_NE(at, std::string::npos) << "missing or out of order: " << line << "\n" << log;
    if (at != std::string::npos) from = at;
  }
  EXPECT_EQ(StoredSkin(), "<default>");
}

TEST(TwlSkinStart, ADamagedBuiltInSkinEndsTheStartWithItsMessage) {
  const std::string folder = twltest::MakeTempDir("damaged");
  programtest::InstallProgram(folder, programtest::BuiltTwl());
  StoreSkin("<default>");
  // A copy of twl whose built-in skin lost its signature.
  const std::string skin = BuiltInSkin();
  ASSERT_GT(skin.size(), 64u);
  std::string program = ReadBytes(programtest::BuiltTwl());
  const size_t at = program.find(skin.substr(0, 64));
  ASSERT_NE(at, std::string::npos);
  program[at] = 'X';
  std::filesystem::remove(folder + "/twl");
  std::ofstream(folder + "/twl", std::ios::binary) << program;
  std::filesystem::permissions(folder + "/twl", std::filesystem::perms::owner_all);

  const pid_t pid = programtest::Start(folder, {});
  EXPECT_EQ(programtest::Wait(pid), 1);
  const std::string errors = programtest::ReadText(folder + "/stderr.txt");
  EXPECT_TRUE(Contains(errors, "The player was unable to load the default skin. The main executable may be corrupted."))
      << errors;
  const std::string log = programtest::ReadText(folder + "/Log.txt");
  EXPECT_TRUE(Contains(log, "    Loading skin '<default>'...failed\r\n")) << log;
  EXPECT_FALSE(Contains(log, kDone)) << log;
}
