#include "ExtensionTable.h"

#include <windows.h>

#include <cstring>
#include <new>
#include <vector>

#include "HostAccess.h"

namespace screevo {
namespace {

// Registry texts are read into buffers of this size, at most one less.
constexpr DWORD kTextBuffer = 1001;
constexpr DWORD kTextLimit = 1000;

struct Table {
  std::vector<ExtensionEntry> entries;
  int loads = 0;
};
Table g_Table;

constexpr const char* kSkipped[] = {".cda", ".mov", ".qt", ".rm", ".ra", ".ram", ".rmm"};

struct BuiltinType {
  const char* extension;
  const char* mimeType;
};
constexpr BuiltinType kBuiltinTypes[] = {
    {".aif", "audio/x-aiff"}, {".aifc", "audio/aiff"},       {".aiff", "audio/aiff"},      {".au", "audio/basic"},
    {".snd", "audio/basic"},  {".avi", "video/x-msvideo"},   {".m1v", "video/mpeg"},       {".mp2", "video/mpeg"},
    {".mpa", "video/mpeg"},   {".mpe", "video/mpeg"},        {".mpeg", "video/mpeg"},      {".mpg", "video/mpeg"},
    {".mid", "audio/mid"},    {".rmi", "audio/mid"},         {".mov", "video/quicktime"},  {".qt", "video/quicktime"},
    {".wav", "audio/wav"},
};

bool EqualIgnoringCase(const char* a, const char* b) {
  for (; *a && *b; ++a, ++b) {
    if (std::tolower(static_cast<unsigned char>(*a)) != std::tolower(static_cast<unsigned char>(*b))) return false;
  }
  return *a == *b;
}

bool OutOfMemory() {
  g_Host->HOST_SetMiscError(HOST_MISC_OUT_OF_MEMORY);
  return false;
}

ExtensionEntry* Find(const char* extension) {
  for (ExtensionEntry& entry : g_Table.entries) {
    if (EqualIgnoringCase(entry.extension.c_str(), extension)) return &entry;
  }
  return nullptr;
}

std::optional<std::string> Copy(const char* text) { return text ? std::optional<std::string>(text) : std::nullopt; }

// A string value of at most kTextLimit bytes, zero-terminated whatever the
// registry held; false when the value is missing or not a string.
bool ReadText(HKEY key, const char* name, char* buffer) {
  DWORD type = 0;
  DWORD size = kTextLimit;
  if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS ||
      type != REG_SZ)
    return false;
  buffer[size < kTextLimit ? size : kTextLimit] = '\0';
  return true;
}

bool MentionsTheSystemPlayer(const char* description) {
  std::string lower = description;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower.find("windows media player") != std::string::npos;
}

bool ScanExtensionKeys(HKEY root, const char* path) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, path, 0, KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return true;
  std::vector<char> buffers;
  try {
    buffers.resize(4 * kTextBuffer);
  } catch (const std::bad_alloc&) {
    RegCloseKey(key);
    return OutOfMemory();
  }
  char* name = buffers.data();
  char* mime = name + kTextBuffer;
  char* description = mime + kTextBuffer;
  bool ok = true;
  for (DWORD index = 0; ok; ++index) {
    DWORD nameLength = kTextLimit + 1;
    if (RegEnumKeyExA(key, index, name, &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    name[kTextLimit] = '\0';
    if (name[0] != '.') continue;
    HKEY sub = nullptr;
    if (RegOpenKeyExA(key, name, 0, KEY_QUERY_VALUE, &sub) != ERROR_SUCCESS) continue;
    const bool hasMime = ReadText(sub, "Extension.MIME", mime);
    const bool hasDescription = ReadText(sub, "MediaType.Description", description);
    RegCloseKey(sub);
    if (hasDescription && MentionsTheSystemPlayer(description)) continue;
    ok = AddExtension(name, hasMime ? mime : nullptr, hasDescription ? description : nullptr);
  }
  RegCloseKey(key);
  return ok;
}

bool ScanExtensionValues(HKEY root, const char* path) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, path, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return true;
  char name[kTextBuffer];
  char data[kTextBuffer];
  bool ok = true;
  for (DWORD index = 0; ok; ++index) {
    DWORD nameLength = kTextLimit + 1;
    DWORD dataSize = kTextLimit;
    DWORD type = 0;
    if (RegEnumValueA(key, index, name, &nameLength, nullptr, &type, reinterpret_cast<BYTE*>(data), &dataSize) !=
        ERROR_SUCCESS)
      break;
    name[kTextLimit] = '\0';
    data[dataSize < kTextLimit ? dataSize : kTextLimit] = '\0';
    if (name[0] != '.' || type != REG_SZ) continue;
    ok = AddExtension(name, BuiltinMimeType(name), data);
  }
  RegCloseKey(key);
  return ok;
}

}  // namespace

const char* BuiltinMimeType(const char* extension) {
  for (const BuiltinType& type : kBuiltinTypes) {
    if (EqualIgnoringCase(type.extension, extension)) return type.mimeType;
  }
  return nullptr;
}

bool AddExtension(const char* extension, const char* mimeType, const char* description) {
  for (const char* skipped : kSkipped) {
    if (EqualIgnoringCase(skipped, extension)) return true;
  }
  try {
    if (ExtensionEntry* entry = Find(extension)) {
      if (!entry->mimeType) entry->mimeType = Copy(mimeType);
      if (!entry->description) entry->description = Copy(description);
      return true;
    }
    ExtensionEntry added{extension, Copy(mimeType), Copy(description)};
    if (g_Table.entries.size() == g_Table.entries.capacity()) g_Table.entries.reserve(g_Table.entries.size() + 20);
    g_Table.entries.push_back(std::move(added));
  } catch (const std::bad_alloc&) {
    return OutOfMemory();
  }
  return true;
}

bool LoadExtensionTable() {
  if (g_Table.loads == 0) {
    const bool built =
        ScanExtensionKeys(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Multimedia\\DirectXMedia\\Extensions") &&
        ScanExtensionKeys(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Multimedia\\WMPlayer\\Extensions") &&
        ScanExtensionKeys(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Multimedia\\MPlayer2\\Extensions") &&
        ScanExtensionValues(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Multimedia\\ActiveMovie\\File Extensions");
    if (!built) {
      std::vector<ExtensionEntry>().swap(g_Table.entries);  // a half-built table is not kept
      return false;
    }
  }
  ++g_Table.loads;
  return true;
}

void ReleaseExtensionTable() {
  if (g_Table.loads == 0) return;
  if (--g_Table.loads == 0) std::vector<ExtensionEntry>().swap(g_Table.entries);
}

const ExtensionEntry* ExtensionAt(size_t index) {
  return index < g_Table.entries.size() ? &g_Table.entries[index] : nullptr;
}

size_t ExtensionCount() { return g_Table.entries.size(); }

bool HasTableExtension(const char* text) {
  if (!text) return false;
  const char* dot = std::strrchr(text, '.');
  return dot && Find(dot) != nullptr;
}

}  // namespace screevo
