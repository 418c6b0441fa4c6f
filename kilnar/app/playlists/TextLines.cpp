#include "kilnar/app/playlists/TextLines.h"

#include "kilnar/app/playlists/BinaryFile.h"

std::optional<std::string> ReadWholeFile(const std::string& path, uint64_t most) {
  BinaryFile file;
  if (!file.OpenForReading(path)) return std::nullopt;
  const uint64_t size = file.Remaining();
  if (size > most) return std::nullopt;
  std::string bytes(static_cast<size_t>(size), '\0');
  if (!bytes.empty() && !file.Read(bytes.data(), bytes.size())) return std::nullopt;
  return bytes;
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  // A UTF-8 byte-order mark is no part of the first line.
  size_t start = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    size_t cut = end;
    if (cut > start && text[cut - 1] == '\r') --cut;
    lines.push_back(text.substr(start, cut - start));
    start = end + 1;
  }
  return lines;
}

std::optional<std::vector<std::string>> ReadTextLines(const std::string& path) {
  const auto text = ReadWholeFile(path, kLargestTextPlaylist);
  if (!text) return std::nullopt;
  return SplitLines(*text);
}
