#include "playback/player/FileExtensionEnum.h"

#include <strings.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "foundation/errors/LocalText.h"
#include "foundation/kernel/Placeholder.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CFileExtensionEnum, CTypedObject)

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

// Lower case (ASCII letters; other bytes stay), trimmed, one leading "."
// dropped.
std::string Normalize(const char* extension) {
  std::string text(extension ? extension : "");
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  text = text.substr(begin, end - begin);
  if (!text.empty() && text[0] == '.') text.erase(0, 1);
  return text;
}

CStr DefaultDescription(const std::string& extension) {
  std::string upper = extension;
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return ReplacePlaceholder(LocalText("CFileExtensionEnum.DefaultFileTypeDescription", "%EXTENSION% file"),
                            {"%EXTENSION%", upper.c_str()});
}

}  // namespace

void CFileExtensionEnum::Add(const char* extension, const char* description, DWORD fileType) {
  const std::string normalized = Normalize(extension);
  if (normalized.empty()) return;
  const bool described = description && *description;
  const int index = Find(normalized.c_str());
  if (index < 0) {
    auto entry = std::make_unique<FileExtensionEntry>();
    entry->extension = normalized.c_str();
    entry->description = described ? CStr(description) : DefaultDescription(normalized);
    entry->fileType = fileType;
    m_Entries.push_back(std::move(entry));
    return;
  }
  if (fileType == 0) return;
  FileExtensionEntry& entry = *m_Entries[static_cast<size_t>(index)];
  entry.fileType = fileType;
  if (described) entry.description = description;
}

int CFileExtensionEnum::Find(const char* extension) const {
  if (!extension) return -1;
  for (size_t i = 0; i < m_Entries.size(); ++i) {
    if (std::strcmp(m_Entries[i]->extension.c_str(), extension) == 0) return static_cast<int>(i);
  }
  return -1;
}

void CFileExtensionEnum::CollectMissing(const CFileExtensionEnum& other, CFileExtensionEnum& result, bool copyFlags) {
  for (const auto& entry : m_Entries) {
    const int index = other.Find(entry->extension.c_str());
    if (index < 0) {
      result.Append(*entry);
    } else if (copyFlags) {
      entry->registered = other.GetEntry(index).registered;
    }
  }
}

std::unique_ptr<FileExtensionEntry> CFileExtensionEnum::CloneEntry(const FileExtensionEntry& entry) {
  return std::make_unique<FileExtensionEntry>(entry);
}

std::unique_ptr<CFileExtensionEnum> CFileExtensionEnum::Clone() const {
  auto copy = std::make_unique<CFileExtensionEnum>();
  for (const auto& entry : m_Entries) copy->Append(*entry);
  return copy;
}

void CFileExtensionEnum::Sort() {
  std::stable_sort(m_Entries.begin(), m_Entries.end(), [](const auto& a, const auto& b) {
    return strcasecmp(a->extension.c_str(), b->extension.c_str()) < 0;
  });
}
