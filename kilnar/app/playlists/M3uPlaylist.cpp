#include "kilnar/app/playlists/M3uPlaylist.h"

#include "kilnar/app/playlists/PlaylistPaths.h"
#include "kilnar/app/playlists/TextLines.h"

M3uPlaylist::M3uPlaylist(const std::string& path) : M3uCopyPlaylist(path) { Fill(); }

std::vector<std::string> M3uPlaylist::ReadPaths() {
  std::vector<std::string> paths;
  const auto lines = ReadTextLines(m_path);
  if (!lines) return paths;
  const std::string folder = PlaylistFolder();
  for (const std::string& line : *lines) {
    if (!line.empty() && line[0] == '#') continue;
    // Only these two spellings: mixed case is taken for a file name.
    const std::string extension = ExtensionOf(line);
    if (extension == "cda" || extension == "CDA") continue;
    const bool absolute = !line.empty() && (line[0] == '/' || line[0] == '\\');
    const bool withDrive = line.size() >= 2 && line[1] == ':';
    paths.push_back(absolute || withDrive ? line : folder + line);
  }
  return paths;
}
