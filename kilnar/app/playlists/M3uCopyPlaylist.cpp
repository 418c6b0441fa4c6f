#include "kilnar/app/playlists/M3uCopyPlaylist.h"

bool M3uCopyPlaylist::Save() {
  std::string text;
  for (const std::string& path : m_all) text += GetCdNameOf(path) + "\r\n";
  return WriteCopy(text);
}
