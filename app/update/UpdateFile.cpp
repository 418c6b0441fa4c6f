#include "app/update/UpdateFile.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsSpace(char c) { return IsBlank(c) || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

bool ReadNumber(std::string_view line, size_t& at, DWORD& number) {
  const size_t start = at;
  number = 0;
  while (at < line.size() && line[at] >= '0' && line[at] <= '9') {
    number = number * 10 + static_cast<DWORD>(line[at] - '0');
    if (number > 0xFFFF) return false;
    ++at;
  }
  return at > start;
}

// The text before the next CR LF, and the position after it; false when
// there is no CR, or one not followed by LF.
bool TakeLine(std::string_view text, size_t& at, std::string_view& line) {
  const size_t cr = text.find('\r', at);
  if (cr == std::string_view::npos || cr + 1 >= text.size() || text[cr + 1] != '\n') return false;
  line = text.substr(at, cr - at);
  at = cr + 2;
  return true;
}

}  // namespace

bool ParseUpdateVersion(std::string_view line, DWORD& version) {
  size_t at = 0;
  while (at < line.size() && IsBlank(line[at])) ++at;
  DWORD major = 0;
  DWORD minor = 0;
  if (!ReadNumber(line, at, major) || at >= line.size() || line[at] != '.') return false;
  ++at;
  if (!ReadNumber(line, at, minor)) return false;
  while (at < line.size() && IsBlank(line[at])) ++at;
  if (at != line.size()) return false;
  version = major << 16 | minor;
  return true;
}

bool ParseUpdateFile(std::string_view text, UpdateAnnouncement& announcement) {
  text = text.substr(0, text.find('\0'));
  size_t at = 0;
  std::string_view first;
  std::string_view second;
  if (!TakeLine(text, at, first) || !TakeLine(text, at, second)) return false;
  DWORD version = 0;
  if (!ParseUpdateVersion(first, version)) return false;
  while (!second.empty() && IsSpace(second.front())) second.remove_prefix(1);
  while (!second.empty() && IsSpace(second.back())) second.remove_suffix(1);
  const std::string_view rest = text.substr(at);
  if (second.empty() || rest.empty()) return false;
  announcement.version = version;
  announcement.page = std::string(second);
  announcement.description = std::string(rest);
  return true;
}
