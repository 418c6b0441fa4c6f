#include "kilnar/recorder/DriveIdentification.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

#include "kilnar/recorder/ModelTable.h"

namespace {

constexpr DWORD kOverrideValueSize = 128;

}  // namespace

std::string ModelNameOf(const uint8_t* inquiry) {
  const char* text = reinterpret_cast<const char*>(inquiry + 8);
  size_t length = 0;
  while (length < 24 && text[length] != '\0') ++length;
  while (length > 0 && text[length - 1] == ' ') --length;
  return std::string(text, length);
}

std::optional<std::string> ReadDriverOverride(const std::string& modelName) {
  HKEY key = nullptr;
  const std::string path = std::string(kDriverOverrideKey) + modelName;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return std::nullopt;
  char value[kOverrideValueSize + 1] = {};
  DWORD size = kOverrideValueSize;
  const LONG result = RegQueryValueExA(key, "Device", nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size);
  RegCloseKey(key);
  if (result != ERROR_SUCCESS) return std::nullopt;
  value[size < kOverrideValueSize ? size : kOverrideValueSize] = '\0';
  return std::string(value, std::strlen(value));
}

uint16_t TypeOfModel(const std::string& modelName) {
  if (const auto driver = ReadDriverOverride(modelName)) return TypeFromDriverName(*driver);
  return TypeFromModelTable(modelName);
}

void WriteDeviceList(const std::string& text) {
  FILE* file = std::fopen("devicelist_cdr.txt", "w");
  if (!file) return;
  std::fprintf(file, "%s\n", text.c_str());
  std::fclose(file);
}
