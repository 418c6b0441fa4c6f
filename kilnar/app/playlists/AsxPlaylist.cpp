#include "kilnar/app/playlists/AsxPlaylist.h"

#include "kilnar/app/playlists/TextLines.h"

namespace {

// Found at a position after the line's first character.
bool HoldsAfterStart(const std::string& line, const char* text) {
  const size_t at = line.find(text);
  return at != std::string::npos && at > 0;
}

}  // namespace

AsxPlaylist::AsxPlaylist(const std::string& path) : M3uCopyPlaylist(path) { Fill(); }

std::vector<std::string> AsxPlaylist::ReadPaths() {
  std::vector<std::string> paths;
  const auto lines = ReadTextLines(m_path);
  if (!lines) return paths;
  bool audio = false;
  for (const std::string& line : *lines) {
    if (HoldsAfterStart(line, "MediaType") && HoldsAfterStart(line, "audio")) audio = true;
    if (!audio || !HoldsAfterStart(line, "SourceURL")) continue;
    audio = false;
    const size_t colon = line.rfind(':');
    if (colon == std::string::npos || colon == 0) continue;
    const size_t start = colon - 1;
    const size_t quote = line.find('"', start);
    if (quote == std::string::npos) continue;  // an unquoted value names nothing
    paths.push_back(line.substr(start, quote - start));
  }
  return paths;
}
