// Kilnar's settings in the registry: defaults when nothing is stored, the
// flag rule (only 1 is on), and what a save stores (REG_DWORD 1 or 0).
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "kilnar/app/start/BurnerSettings.h"

namespace {

constexpr const char* kRoot = "Software\\Velbrook\\Velbrook Kilnar! Add-On\\";

void StoreRaw(const char* section, const char* value, DWORD type, DWORD number) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, (std::string(kRoot) + section).c_str(), 0, nullptr, 0, KEY_WRITE,
                            nullptr, &key, nullptr),
            ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueExA(key, value, 0, type, reinterpret_cast<const BYTE*>(&number), sizeof number), ERROR_SUCCESS);
  RegCloseKey(key);
}

// The stored number, or -1 when the value is missing or no REG_DWORD.
long long Stored(const char* section, const char* value) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, (std::string(kRoot) + section).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
    return -1;
  DWORD type = 0, number = 0, size = sizeof number;
  const LONG result = RegQueryValueExA(key, value, nullptr, &type, reinterpret_cast<BYTE*>(&number), &size);
  RegCloseKey(key);
  return result == ERROR_SUCCESS && type == REG_DWORD ? number : -1;
}

TEST(BurnerSettingsTest, NothingStoredGivesTheDefaults) {
  EXPECT_EQ(LoadSpeed(), 1u);
  EXPECT_TRUE(LoadSimulation());
  EXPECT_TRUE(LoadMultisession());
  EXPECT_TRUE(LoadInstallation());
  EXPECT_TRUE(LoadAutoRun());
}

TEST(BurnerSettingsTest, AFlagIsOnOnlyWhenItsStoredValueIsExactlyOne) {
  struct Row {
    const char* why;
    DWORD type;
    DWORD number;
    bool on;
  };
  const Row rows[] = {
      {"2 is no flag value", REG_DWORD, 2, false},
      {"0 is off", REG_DWORD, 0, false},
      {"1 is on", REG_DWORD, 1, true},
      {"a value of another type is as good as none", REG_BINARY, 0, true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.why);
    StoreRaw("Recorder", "Simulation", row.type, row.number);
    EXPECT_EQ(LoadSimulation(), row.on);
  }
}

TEST(BurnerSettingsTest, SavesStoreDwordsUnderTheirSections) {
  SaveSpeed(16);
  SaveSimulation(false);
  SaveMultisession(true);
  SaveInstallation(false);
  SaveAutoRun(true);
  EXPECT_EQ(Stored("Recorder", "Speed"), 16);
  EXPECT_EQ(Stored("Recorder", "Simulation"), 0);
  EXPECT_EQ(Stored("Recorder", "Multisession"), 1);
  EXPECT_EQ(Stored("CD", "Installation"), 0);
  EXPECT_EQ(Stored("CD", "AutoRun"), 1);
  EXPECT_EQ(LoadSpeed(), 16u);
  EXPECT_FALSE(LoadSimulation());
  EXPECT_FALSE(LoadInstallation());
  EXPECT_TRUE(LoadAutoRun());
}

}  // namespace
