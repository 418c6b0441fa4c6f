#include "kilnar/app/start/BurnerSettings.h"

#include <windows.h>

#include <string>

namespace {

// The program's registry root: company and product name.
constexpr const char* kRoot = "Software\\Velbrook\\Velbrook Kilnar! Add-On";

// The stored number of a section's value, or the default when there is
// none (or it is not a 32-bit number).
uint32_t ReadNumber(const char* section, const char* value, uint32_t fallback) {
  HKEY key = nullptr;
  const std::string path = std::string(kRoot) + "\\" + section;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return fallback;
  DWORD type = 0;
  DWORD number = 0;
  DWORD size = sizeof number;
  const LONG result = RegQueryValueExA(key, value, nullptr, &type, reinterpret_cast<BYTE*>(&number), &size);
  RegCloseKey(key);
  return result == ERROR_SUCCESS && type == REG_DWORD && size == sizeof number ? number : fallback;
}

void WriteNumber(const char* section, const char* value, uint32_t number) {
  HKEY key = nullptr;
  const std::string path = std::string(kRoot) + "\\" + section;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
      ERROR_SUCCESS)
    return;
  const DWORD stored = number;
  RegSetValueExA(key, value, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&stored), sizeof stored);
  RegCloseKey(key);
}

bool ReadFlag(const char* section, const char* value) { return ReadNumber(section, value, 1) == 1; }
void WriteFlag(const char* section, const char* value, bool on) { WriteNumber(section, value, on ? 1 : 0); }

}  // namespace

uint32_t LoadSpeed() { return ReadNumber("Recorder", "Speed", 1); }
void SaveSpeed(uint32_t factor) { WriteNumber("Recorder", "Speed", factor); }
bool LoadSimulation() { return ReadFlag("Recorder", "Simulation"); }
void SaveSimulation(bool on) { WriteFlag("Recorder", "Simulation", on); }
bool LoadMultisession() { return ReadFlag("Recorder", "Multisession"); }
void SaveMultisession(bool on) { WriteFlag("Recorder", "Multisession", on); }
bool LoadInstallation() { return ReadFlag("CD", "Installation"); }
void SaveInstallation(bool on) { WriteFlag("CD", "Installation", on); }
bool LoadAutoRun() { return ReadFlag("CD", "AutoRun"); }
void SaveAutoRun(bool on) { WriteFlag("CD", "AutoRun", on); }
