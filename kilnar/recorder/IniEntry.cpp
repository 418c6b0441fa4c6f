#include "kilnar/recorder/IniEntry.h"

#include <cstring>

#include "kilnar/recorder/IniFile.h"

namespace {

void CopyName(char* field, const char* name) {
  const char* text = name ? name : "";
  std::strncpy(field, text, IniEntry::kNameSize - 1);
  field[IniEntry::kNameSize - 1] = '\0';
}

}  // namespace

IniEntry::IniEntry(IniFile& file, const char* section, const char* key) : m_File(&file) {
  CopyName(m_Section, section);
  CopyName(m_Key, key);
}

void IniEntry::Read(char* text, size_t size) const {
  if (!text || size == 0) return;
  const char* value = m_File->GetString(m_Section, m_Key);
  std::strncpy(text, value, size - 1);
  text[size - 1] = '\0';
}

void IniEntry::Write(const char* value) const { m_File->WriteString(m_Section, m_Key, value); }
