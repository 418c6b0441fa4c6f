#include <gtest/gtest.h>
#include <sys/wait.h>

#include <string>

#include "foundation/appcore/SettingsKey.h"
#include "support/TestPaths.h"

namespace {

int RunSoundOptions(const std::string& arguments, std::string* output) {
  const int status = twltest::RunCommand(
      "TWL_SOUND_SINK=null '" + twltest::ProgramPath("twltool") + "' soundoptions " + arguments + " 2>&1", output);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Options saved by one run are what the next run loads; a value the
// player does not accept is refused with its warning.
TEST(TwltoolSoundOptions, SavedOptionsLoadAgainAndRefusedOnesWarn) {
  std::string output;
  ASSERT_EQ(RunSoundOptions("", &output), 0);
  EXPECT_EQ(output, "device DEFAULT frequency 44100 bits 16 channels 2 level 2\n");

  ASSERT_EQ(RunSoundOptions("--save 22050 8 1 3", &output), 0);
  EXPECT_EQ(output, "device DEFAULT frequency 22050 bits 8 channels 1 level 3\n");
  ASSERT_EQ(RunSoundOptions("", &output), 0);
  EXPECT_EQ(output, "device DEFAULT frequency 22050 bits 8 channels 1 level 3\n");

  HKEY key = nullptr;
  const std::string path = std::string(GetSettingsPath().c_str()) + "\\SoundOptions";
  ASSERT_EQ(RegOpenKeyExA(GetSettingsRoot(), path.c_str(), 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
  const DWORD frequency = 48000;
  ASSERT_EQ(RegSetValueExA(key, "PreferredFrequency", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&frequency), 4),
            ERROR_SUCCESS);
  RegCloseKey(key);
  ASSERT_EQ(RunSoundOptions("", &output), 0);
  EXPECT_EQ(output,
            "Error reading preferred sound frequency from registry. It will be set to its default value.\n"
            "device DEFAULT frequency 44100 bits 8 channels 1 level 3\n");
}

TEST(TwltoolSoundOptions, BadArgumentsFail) {
  std::string output;
  EXPECT_EQ(RunSoundOptions("--save 22050 8 1", &output), 1);
  EXPECT_EQ(RunSoundOptions("--save 22050 eight 1 3", &output), 1);
  EXPECT_EQ(RunSoundOptions("--save 22050 8 1 -3", &output), 1);
  EXPECT_EQ(RunSoundOptions("--other", &output), 1);
}

}  // namespace
