#include "playback/playlist/PlayListText.h"

#include <cctype>
#include <cstring>
#include <map>

#include "foundation/kernel/WindowsText.h"
#include "playback/playlist/PlayListErrors.h"

namespace {

constexpr int kMaxEntryNumber = 100000;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view SkipBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  return text;
}

std::string_view CutBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x + 32);
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y + 32);
    if (x != y) return false;
  }
  return true;
}

bool StartsWithNoCase(std::string_view text, std::string_view start) {
  return text.size() >= start.size() && EqualsNoCase(text.substr(0, start.size()), start);
}

// Whether ":/" occurs after the text's second character: the text has a
// scheme.
bool HasScheme(std::string_view text) {
  const size_t at = text.find(":/");
  return at != std::string_view::npos && at >= 2;
}

// The lines of a text, each with its leading blanks skipped and made UTF-8.
class LineReader {
 public:
  explicit LineReader(std::string_view text) : m_Rest(text) {
    if (m_Rest.substr(0, 3) == "\xEF\xBB\xBF") m_Rest.remove_prefix(3);
  }
  bool AtEnd() const { return m_Rest.empty(); }
  std::string Next() {
    size_t end = 0;
    while (end < m_Rest.size() && m_Rest[end] != '\r' && m_Rest[end] != '\n') ++end;
    std::string_view line = m_Rest.substr(0, end);
    size_t next = end;
    if (next < m_Rest.size()) next += (m_Rest[next] == '\r' && next + 1 < m_Rest.size() && m_Rest[next + 1] == '\n') ? 2 : 1;
    m_Rest.remove_prefix(next);
    return AsUtf8(std::string(SkipBlanks(line)));
  }

 private:
  std::string_view m_Rest;
};

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Another program's "file:" URL carries its path %XX-escaped; ours never do.
std::string DecodeFileUrl(std::string_view url) {
  std::string decoded;
  decoded.reserve(url.size());
  for (size_t i = 0; i < url.size(); ++i) {
    // A NUL would cut the path short: "%00" stays as written.
    if (url[i] == '%' && i + 2 < url.size() && HexValue(url[i + 1]) >= 0 && HexValue(url[i + 2]) >= 0) {
      const int byte = HexValue(url[i + 1]) * 16 + HexValue(url[i + 2]);
      if (byte != 0) {
        decoded += static_cast<char>(byte);
        i += 2;
        continue;
      }
    }
    decoded += url[i];
  }
  return AsUtf8(std::move(decoded));
}

std::string Slashed(std::string_view text) {
  std::string path(text);
  for (char& c : path)
    if (c == '\\') c = '/';
  return path;
}

void AddEntry(std::vector<PlayListTextEntry>& entries, std::string_view text, const PlayListTextBase& base,
              std::string title = {}) {
  entries.push_back({ResolvePlayListText(text, base), std::move(title)});
}

void ParseM3ULines(LineReader& lines, std::vector<PlayListTextEntry>& entries, const PlayListTextBase& base) {
  while (!lines.AtEnd()) {
    const std::string line = lines.Next();
    if (!line.empty() && line.front() == '#') continue;
    const std::string_view text = CutBlanks(line);
    if (!text.empty()) AddEntry(entries, text, base);
  }
}

// "File12" -> 12 for the word "File"; 0 when the key is not the word
// directly followed by a number 1..100000 (and blanks).
int KeyNumber(std::string_view key, std::string_view word) {
  if (!StartsWithNoCase(key, word)) return 0;
  std::string_view digits = CutBlanks(key.substr(word.size()));
  if (digits.empty() || digits.size() > 6) return 0;
  int number = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return 0;
    number = number * 10 + (c - '0');
  }
  return number >= 1 && number <= kMaxEntryNumber ? number : 0;
}

bool IsDecimalNumber(std::string_view value) {
  value = CutBlanks(value);
  if (value.empty()) return false;
  for (char c : value)
    if (c < '0' || c > '9') return false;
  return true;
}

}  // namespace

PlayListTextBase PlayListTextBase::FromUrl(std::string_view url) {
  PlayListTextBase base;
  const size_t slash = url.find_last_of("/\\");
  if (slash == std::string_view::npos) return base;
  base.folder = std::string(url.substr(0, slash + 1));
  if (!HasScheme(base.folder)) base.folder = "file://" + base.folder;
  if (StartsWithNoCase(base.folder, "file://") && base.folder.size() >= 9 && base.folder[8] == ':')
    base.drive = base.folder.substr(0, 9);
  base.local = base.drive.empty() && StartsWithNoCase(base.folder, "file://");
  return base;
}

std::string ResolvePlayListText(std::string_view text, const PlayListTextBase& base) {
  const bool fromRoot = !text.empty() && (text.front() == '\\' || text.front() == '/');
  if (fromRoot && !base.drive.empty()) return base.drive + std::string(text);
  if (HasScheme(text)) return StartsWithNoCase(text, "file:") ? DecodeFileUrl(text) : std::string(text);
  if (text.size() >= 2 && text[1] == ':') return "file://" + std::string(text);
  if (!base.local) return base.folder + std::string(text);
  if (fromRoot) return "file://" + Slashed(text);
  return base.folder + Slashed(text);
}

std::vector<PlayListTextEntry> ParseM3U(std::string_view text, const PlayListTextBase& base) {
  std::vector<PlayListTextEntry> entries;
  LineReader lines(text);
  ParseM3ULines(lines, entries, base);
  return entries;
}

std::vector<PlayListTextEntry> ParsePLS(std::string_view text, const PlayListTextBase& base) {
  LineReader lines(text);
  std::string line;
  do {
    if (lines.AtEnd()) ThrowCorruptedPlayListError();
    line = lines.Next();
  } while (line.empty() || line.front() == '#');
  if (lines.AtEnd()) ThrowCorruptedPlayListError();
  std::vector<PlayListTextEntry> entries;
  if (line.front() != '[') {
    // Not sectioned: an M3U text under another name, this line first.
    const std::string_view first = CutBlanks(line);
    if (!first.empty()) AddEntry(entries, first, base);
    ParseM3ULines(lines, entries, base);
    return entries;
  }
  while (!EqualsNoCase(line, "[Playlist]")) {
    if (lines.AtEnd()) ThrowCorruptedPlayListError();
    line = lines.Next();
  }
  if (lines.AtEnd()) ThrowCorruptedPlayListError();

  bool counted = false;
  std::map<int, std::string> files;
  std::map<int, std::string> titles;
  while (!lines.AtEnd()) {
    line = lines.Next();
    if (!line.empty() && line.front() == '[') break;
    const size_t equals = line.find('=');
    if (equals == std::string::npos || equals == 0) continue;
    const unsigned char first = static_cast<unsigned char>(line.front());
    if (!std::isalnum(first)) continue;
    const std::string_view key = CutBlanks(std::string_view(line).substr(0, equals));
    const std::string_view value = CutBlanks(SkipBlanks(std::string_view(line).substr(equals + 1)));
    if (!counted && EqualsNoCase(key, "NumberOfEntries")) {
      if (!IsDecimalNumber(value)) ThrowCorruptedPlayListError();
      counted = true;
      continue;
    }
    if (value.empty()) continue;
    if (const int file = KeyNumber(key, "File")) files[file] = std::string(value);
    if (const int title = KeyNumber(key, "Title")) titles[title] = std::string(value);
  }
  if (!counted) ThrowCorruptedPlayListError();
  for (const auto& [number, file] : files) {
    const auto title = titles.find(number);
    AddEntry(entries, file, base, title == titles.end() ? std::string() : title->second);
  }
  return entries;
}
