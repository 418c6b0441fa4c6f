#include "plugins/netvarra/ftp/FTPListLine.h"

#include <limits>
#include <optional>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
char LowerCase(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// A cursor over the line up to its first CR. Every step fails when it
// would run into the CR: a line's fields never reach its end, only its name.
class LineCursor {
 public:
  explicit LineCursor(std::string_view text) : m_Text(text.substr(0, text.find('\r'))) {}

  bool AtEnd() const { return m_At >= m_Text.size(); }
  char Peek() const { return AtEnd() ? '\r' : m_Text[m_At]; }
  void Advance(size_t count) { m_At = std::min(m_Text.size(), m_At + count); }
  std::string_view Rest() const { return m_Text.substr(m_At); }

  bool SkipBlanks() {
    while (!AtEnd() && IsBlank(m_Text[m_At])) ++m_At;
    return !AtEnd();
  }
  bool SkipWord() {
    while (!AtEnd() && !IsBlank(m_Text[m_At])) ++m_At;
    return !AtEnd();
  }
  // A size; an overflowing one is no size at all.
  std::optional<int64_t> Number() {
    if (AtEnd() || !IsDigit(m_Text[m_At])) return std::nullopt;
    int64_t value = 0;
    constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
    for (; !AtEnd() && IsDigit(m_Text[m_At]); ++m_At) {
      const int digit = m_Text[m_At] - '0';
      if (value > (kMax - digit) / 10) return std::nullopt;
      value = value * 10 + digit;
    }
    return value;
  }

 private:
  std::string_view m_Text;
  size_t m_At = 0;
};

// The rest of the line up to CR or LF.
std::string NameToLineEnd(std::string_view rest) { return std::string(rest.substr(0, rest.find('\n'))); }

bool ParseUnix(LineCursor& at, FTPListEntry& entry) {
  if (!at.SkipBlanks()) return false;
  switch (at.Peek()) {
    case '-': entry.type = FTPListEntry::kFile; break;
    case 'd': entry.type = FTPListEntry::kFolder; break;
    case 'l': entry.type = FTPListEntry::kLink; break;
    default: return false;
  }
  // permissions, links, owner, group
  for (int field = 0; field < 4; ++field)
    if (!at.SkipWord() || !at.SkipBlanks()) return false;
  const std::optional<int64_t> size = at.Number();
  if (!size) return false;
  entry.size = *size;
  if (!at.SkipWord() || !at.SkipBlanks()) return false;
  // month, day, time or year
  for (int field = 0; field < 3; ++field)
    if (!at.SkipWord() || !at.SkipBlanks()) return false;
  const std::string_view rest = at.Rest();
  const size_t arrow = rest.find("->");
  if (entry.type == FTPListEntry::kLink && arrow != std::string_view::npos) {
    size_t end = arrow;
    while (end > 1 && IsBlank(rest[end - 1])) --end;
    entry.name = std::string(rest.substr(0, end));
  } else {
    entry.name = NameToLineEnd(rest);
  }
  return true;
}

bool StartsWithDirMarker(std::string_view rest) {
  constexpr std::string_view kMarker = "<dir> ";
  if (rest.size() < kMarker.size()) return false;
  for (size_t i = 0; i < kMarker.size(); ++i)
    if (LowerCase(rest[i]) != kMarker[i]) return false;
  return true;
}

bool ParseDos(LineCursor& at, FTPListEntry& entry) {
  // date, time
  if (!at.SkipBlanks() || !at.SkipWord() || !at.SkipBlanks() || !at.SkipWord() || !at.SkipBlanks()) return false;
  if (StartsWithDirMarker(at.Rest())) {
    entry.type = FTPListEntry::kFolder;
    if (!at.SkipWord()) return false;
  } else {
    const std::optional<int64_t> size = at.Number();
    if (!size) return false;
    entry.type = FTPListEntry::kFile;
    entry.size = *size;
  }
  if (!at.SkipWord() || !at.SkipBlanks()) return false;
  entry.name = std::string(at.Rest());
  return true;
}

bool ParseEplf(LineCursor& at, FTPListEntry& entry) {
  const std::string_view rest = at.Rest();
  const size_t tab = rest.find('\t');
  if (rest.empty() || tab == std::string_view::npos || tab + 1 >= rest.size()) return false;
  entry.type = FTPListEntry::kFile;
  std::string_view facts = rest.substr(1, tab - 1);
  while (true) {
    const size_t comma = facts.find(',');
    const std::string_view fact = facts.substr(0, comma);
    if (fact == "/") entry.type = FTPListEntry::kFolder;
    if (fact.size() > 1 && fact[0] == 's') {
      const std::string digits = std::string(fact.substr(1)) + "\r";
      LineCursor number(digits);
      if (const std::optional<int64_t> size = number.Number()) entry.size = *size;
    }
    if (comma == std::string_view::npos) break;
    facts.remove_prefix(comma + 1);
  }
  entry.name = std::string(rest.substr(tab + 1));
  return true;
}

bool ParseBracketed(LineCursor& at, FTPListEntry& entry) {
  constexpr size_t kAttributeWidth = 12;
  const std::string_view attributes = at.Rest().substr(0, kAttributeWidth);
  if (attributes.size() < kAttributeWidth) return false;
  entry.type = attributes.find('d') != std::string_view::npos ? FTPListEntry::kFolder : FTPListEntry::kFile;
  at.Advance(kAttributeWidth);
  if (!at.SkipBlanks() || !at.SkipWord() || !at.SkipBlanks()) return false;
  const std::optional<int64_t> size = at.Number();
  if (!size) return false;
  entry.size = *size;
  if (!at.SkipWord() || !at.SkipBlanks() || !at.SkipWord() || !at.SkipBlanks()) return false;
  entry.name = std::string(at.Rest());
  return true;
}

}  // namespace

int32_t DetectListStyle(std::string_view line) {
  const std::string_view text = line.substr(0, line.find_first_of("\r\n"));
  if (text.size() > 2 && IsDigit(text[0]) && text[2] == '-') return FTPListEntry::kDos;
  if (!text.empty() && text[0] == '+') return FTPListEntry::kEplf;
  if (text.size() > 2 && text[1] == ' ' && text[2] == '[') return FTPListEntry::kBracketed;
  return FTPListEntry::kUnix;
}

bool ParseListLine(std::string_view line, FTPListEntry& entry, int32_t style) {
  entry = FTPListEntry();
  if (line.find('\r') == std::string_view::npos) return false;
  if (style == FTPListEntry::kUnknown) style = DetectListStyle(line);
  LineCursor at(line);
  bool parsed = false;
  switch (style) {
    case FTPListEntry::kUnixAfterTotal:
    case FTPListEntry::kUnix: parsed = ParseUnix(at, entry); break;
    case FTPListEntry::kDos: parsed = ParseDos(at, entry); break;
    case FTPListEntry::kEplf: parsed = ParseEplf(at, entry); break;
    case FTPListEntry::kBracketed: parsed = ParseBracketed(at, entry); break;
    default: break;
  }
  if (!parsed) {
    entry = FTPListEntry();
    return false;
  }
  entry.style = style;
  return true;
}
