#include "kilnar/app/playlists/PlsPlaylist.h"

#include "kilnar/app/playlists/PlaylistPaths.h"
#include "kilnar/app/playlists/ProfileSection.h"

PlsPlaylist::PlsPlaylist(const std::string& path) : CdPlaylist(path) { Fill(); }

std::vector<std::string> PlsPlaylist::ReadPaths() {
  std::vector<std::string> paths;
  const auto section = ReadProfileSection(m_path, "playlist");
  if (!section) return paths;
  const std::string folder = PlaylistFolder();
  const long count = section->GetInt("NumberOfEntries");
  for (long i = 1; i <= count; ++i) {
    const std::string value = section->Get("File" + std::to_string(i));
    const bool asItStands = (!value.empty() && value[0] == '/') || (value.size() >= 2 && value[1] == ':');
    paths.push_back(asItStands ? value : folder + value);
  }
  return paths;
}

bool PlsPlaylist::Save() {
  std::string text = "[playlist]\r\n";
  for (size_t i = 0; i < m_all.size(); ++i)
    text += "File" + std::to_string(i + 1) + "=" + GetCdNameOf(m_all[i]) + "\r\n";
  text += "NumberOfEntries=" + std::to_string(m_all.size()) + "\r\n";
  text += "Version=2\r\n";
  return WriteCopy(text);
}
