// The ISO name rule of the name modes: the long name in Windows-1252,
// folded by the track's character table, filtered to A-Z, 0-9 and "_", and
// cut to the lengths of the mode.
#include <windows.h>

#include <string>

#include "kilnar/app/NameCharMap.h"
#include "kilnar/app/NodeName.h"
#include "kilnar/recorder/WideText.h"

namespace {

constexpr size_t kShortName = 8;
constexpr size_t kShortExtension = 4;  // the dot and three characters
constexpr size_t kLongTotal = 32;
constexpr size_t kLongExtension = 31;

// The name in Windows-1252. A character the code page lacks becomes "?",
// which the filter removes as it removes every other character that is
// not allowed, so such characters drop out.
std::string In1252(const std::string& name) {
  const std::u16string wide = WideOf(name);
  if (wide.empty()) return {};
  const int length = static_cast<int>(wide.size());
  const int needed = WideCharToMultiByte(CP_1252, 0, wide.data(), length, nullptr, 0, "?", nullptr);
  if (needed <= 0) return {};
  std::string text(static_cast<size_t>(needed), '\0');
  WideCharToMultiByte(CP_1252, 0, wide.data(), length, text.data(), needed, "?", nullptr);
  return text;
}

bool IsIsoCharacter(char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_'; }

// The table applied, then every character that is not allowed removed.
std::string Folded(const std::string& part, const NameCharMap& table) {
  std::string kept;
  for (char c : part) {
    const char mapped = static_cast<char>(table.Map(static_cast<uint8_t>(c)));
    if (IsIsoCharacter(mapped)) kept += mapped;
  }
  return kept;
}

bool IsVowel(char c) {
  const auto byte = static_cast<uint8_t>(c);
  return c == 'A' || c == 'E' || c == 'I' || c == 'O' || c == 'U' || byte == 0x99 || byte == 0x8E || byte == 0x9A;
}

std::string WithoutVowels(const std::string& text) {
  std::string kept;
  for (char c : text)
    if (!IsVowel(c)) kept += c;
  return kept;
}

struct NameParts {
  std::string name;
  std::string extension;  // with its dot, or empty
};

void CutShort(NameParts& parts, bool isFolder) {
  if (parts.name.size() > kShortName) parts.name.resize(kShortName);
  if (parts.extension.size() > kShortExtension) parts.extension.resize(kShortExtension);
  if (isFolder) parts.extension.clear();
}

void DropVowels(NameParts& parts) {
  if (parts.name.size() > kShortName) parts.name = WithoutVowels(parts.name);
  if (parts.extension.size() > kShortExtension) parts.extension = "." + WithoutVowels(parts.extension.substr(1));
}

void CutLong(NameParts& parts, bool isFolder) {
  if (parts.name.size() > kLongTotal) parts.name.resize(kLongTotal);
  if (parts.extension.size() > kLongExtension) parts.extension.resize(kLongExtension);
  if (isFolder) parts.extension.clear();
  if (parts.name.size() + parts.extension.size() > kLongTotal)
    parts.name.resize(kLongTotal - parts.extension.size());
}

}  // namespace

void NodeName::MapIsoName(int mode, bool isFolder, const NameCharMap& table) {
  if (mode == 4) return;
  if (mode == 5) m_IsoName = CutUtf8(Utf8Of(m_Joliet), kIsoNameMost);
  const std::string name = In1252(m_IsoName);
  const size_t dot = name.find_last_of('.');
  NameParts parts;
  parts.name = Folded(name.substr(0, dot), table);
  if (dot != std::string::npos) parts.extension = "." + Folded(name.substr(dot + 1), table);
  switch (mode) {
    case 2:
      DropVowels(parts);
      CutShort(parts, isFolder);
      break;
    case 1:
    case 5:
      CutShort(parts, isFolder);
      break;
    case 3:
      CutLong(parts, isFolder);
      break;
    default:
      break;
  }
  if (parts.name.size() > kIsoNameMost) parts.name.resize(kIsoNameMost);
  m_IsoName = (parts.name + parts.extension).substr(0, kIsoNameMost);
}
