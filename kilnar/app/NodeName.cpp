#include "kilnar/app/NodeName.h"

#include "kilnar/recorder/WideText.h"

namespace {

bool IsIsoCharacter(char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_'; }

bool AllIsoCharacters(const std::string& text) {
  for (char c : text)
    if (!IsIsoCharacter(c)) return false;
  return true;
}

// The file name with its extension: what follows the last separator.
std::string LastComponent(const std::string& path) {
  const size_t separator = path.find_last_of("\\/");
  return separator == std::string::npos ? path : path.substr(separator + 1);
}

}  // namespace

void NodeName::SetPath(const std::string& path) {
  m_Path = path;
  SetLongName(LastComponent(path));
}

void NodeName::SetLongName(const std::string& name) {
  m_Joliet = CutUtf16(WideOf(name), kJolietMost);
  m_IsoName = CutUtf8(name, kIsoNameMost);
}

void NodeName::SetIsoName(const std::string& name) {
  m_IsoName = CutUtf8(name, kIsoNameMost);
  if (m_Joliet.empty()) m_Joliet = CutUtf16(WideOf(name), kJolietMost);
}

void NodeName::SetShortName(const std::string& name) {
  if (!name.empty()) m_IsoName = CutUtf8(name, kIsoNameMost);
}

void NodeName::SetJolietName(const std::u16string& units) {
  SetJolietNameOnly(units);
  m_IsoName = CutUtf8(Utf8Of(m_Joliet), kIsoNameMost);
}

void NodeName::SetJolietNameOnly(const std::u16string& units) { m_Joliet = CutUtf16(units, kJolietMost); }

std::string NodeName::GetJolietText() const { return Utf8Of(m_Joliet); }

bool NodeName::IsValid83() const {
  const size_t dot = m_IsoName.find('.');
  const std::string name = m_IsoName.substr(0, dot);
  const std::string extension = dot == std::string::npos ? std::string() : m_IsoName.substr(dot + 1);
  return name.size() <= 8 && extension.size() <= 3 && AllIsoCharacters(name) && AllIsoCharacters(extension);
}
