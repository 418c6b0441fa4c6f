#include "kilnar/app/playlists/ProfileSection.h"

#include <cctype>
#include <cstdlib>

#include "kilnar/app/playlists/TextLines.h"

namespace {

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::string Trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  const size_t last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

std::string Unquoted(const std::string& text) {
  if (text.size() >= 2 && ((text.front() == '"' && text.back() == '"') || (text.front() == '\'' && text.back() == '\'')))
    return text.substr(1, text.size() - 2);
  return text;
}

}  // namespace

std::string ProfileSection::Get(const std::string& key) const {
  const auto found = m_Values.find(Lower(key));
  return found == m_Values.end() ? std::string() : found->second;
}

long ProfileSection::GetInt(const std::string& key) const {
  const std::string value = Get(key);
  const long number = std::strtol(value.c_str(), nullptr, 10);
  if (number < 0) return 0;
  // More entries than keys cannot be there: a huge count reads no further.
  return number > static_cast<long>(m_Values.size()) ? static_cast<long>(m_Values.size()) : number;
}

void ProfileSection::Add(const std::string& key, const std::string& value) {
  m_Values.try_emplace(Lower(key), Unquoted(value).substr(0, kValueMost));
}

std::optional<ProfileSection> ReadProfileSection(const std::string& path, const std::string& section) {
  const auto lines = ReadTextLines(path);
  if (!lines) return std::nullopt;
  ProfileSection result;
  const std::string wanted = Lower(section);
  bool inside = false;
  for (const std::string& raw : *lines) {
    const std::string line = Trimmed(raw);
    if (!line.empty() && line[0] == '[') {
      const size_t close = line.find(']');
      inside = close != std::string::npos && Lower(Trimmed(line.substr(1, close - 1))) == wanted;
      continue;
    }
    if (!inside || line.empty() || line[0] == ';') continue;
    const size_t equals = line.find('=');
    if (equals == std::string::npos) continue;
    result.Add(Trimmed(line.substr(0, equals)), Trimmed(line.substr(equals + 1)));
  }
  return result;
}
