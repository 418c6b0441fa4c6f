#include "app/associations/VadiroGuard.h"

#include <strings.h>

#include <vector>

#include "foundation/appcore/RegistryValues.h"

namespace {

constexpr const char* kUninstallKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vadiro";
constexpr DWORD kMaxListSize = 1 << 20;

CStr ReadUninstallString(HKEY root) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, kUninstallKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return CStr();
  CStr text;
  if (!GetRegistryString(key, "UninstallString", text)) text = CStr();
  RegCloseKey(key);
  return text;
}

// The program's path: the text up to the first blank outside double
// quotes, without any quotes; then its folder.
CStr FolderOfCommand(const char* command) {
  std::string path;
  bool quoted = false;
  for (const char* at = command; *at; ++at) {
    if (*at == '"') {
      quoted = !quoted;
      continue;
    }
    if (*at == ' ' && !quoted) break;
    path += *at;
  }
  const size_t separator = path.find_last_of("\\/");
  path = separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
  return CStr((path + "\\").c_str());
}

// The whole value however long, or false when it cannot be had whole.
bool ReadWholeList(const CStr& file, std::string& list) {
  for (DWORD size = 1024; size <= kMaxListSize; size *= 2) {
    std::vector<char> buffer(size);
    const DWORD length = GetPrivateProfileStringA("Vadiro", "extlist", "", buffer.data(), size, file.c_str());
    if (length < size - 1) {
      list.assign(buffer.data(), length);
      return true;
    }
  }
  return false;
}

}  // namespace

CStr FindVadiroFolder() {
  CStr command = ReadUninstallString(HKEY_LOCAL_MACHINE);
  if (!*command.c_str()) command = ReadUninstallString(HKEY_CURRENT_USER);
  if (!*command.c_str()) return CStr();
  return FolderOfCommand(command.c_str());
}

bool RemoveMarkedExtensions(std::string& list, const CFileExtensionEnum& extensions) {
  bool removed = false;
  for (int index = 0; index < extensions.GetCount(); ++index) {
    const FileExtensionEntry& entry = extensions.GetEntry(index);
    if (!entry.registered) continue;
    size_t start = 0;
    while (start <= list.size()) {
      size_t end = list.find(':', start);
      const size_t itemEnd = end == std::string::npos ? list.size() : end;
      const std::string item = list.substr(start, itemEnd - start);
      if (strcasecmp(item.c_str(), entry.extension.c_str()) == 0) {
        list.erase(start, (end == std::string::npos ? itemEnd : end + 1) - start);
        removed = true;
        break;
      }
      if (end == std::string::npos) break;
      start = end + 1;
    }
  }
  return removed;
}

bool GuardAgainstVadiro(const CFileExtensionEnum& extensions) {
  const CStr folder = FindVadiroFolder();
  if (!*folder.c_str()) return false;
  const CStr file = folder + "Vadiro.ini";
  std::string list;
  if (!ReadWholeList(file, list)) return false;
  if (!RemoveMarkedExtensions(list, extensions)) return false;
  return WritePrivateProfileStringA("Vadiro", "extlist", list.c_str(), file.c_str()) != FALSE;
}
