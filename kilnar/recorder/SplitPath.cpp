#include "kilnar/recorder/SplitPath.h"

#include <cstring>
#include <string_view>

namespace {

// Copies at most size - 1 characters and always ends the field.
void CopyCut(char* field, size_t size, std::string_view text) {
  const size_t length = text.size() < size ? text.size() : size - 1;
  std::memcpy(field, text.data(), length);
  field[length] = '\0';
}

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

}  // namespace

void SplitPath::Clear() {
  m_Full[0] = m_Drive[0] = m_Folder[0] = m_Name[0] = m_Extension[0] = '\0';
}

void SplitPath::Set(const char* text) {
  Clear();
  std::string_view rest = text ? text : "";
  CopyCut(m_Full, sizeof m_Full, rest);
  if (rest.size() >= 2 && IsLetter(rest[0]) && rest[1] == ':') {
    CopyCut(m_Drive, sizeof m_Drive, rest.substr(0, 2));
    rest.remove_prefix(2);
  }
  const size_t separator = rest.find_last_of("\\/");
  if (separator != std::string_view::npos) {
    CopyCut(m_Folder, sizeof m_Folder, rest.substr(0, separator + 1));
    rest.remove_prefix(separator + 1);
  }
  const size_t dot = rest.find_last_of('.');
  if (dot != std::string_view::npos) {
    CopyCut(m_Extension, sizeof m_Extension, rest.substr(dot));
    rest = rest.substr(0, dot);
  }
  CopyCut(m_Name, sizeof m_Name, rest);
}
