// An album read from an M3U playlist: one path per line, "#" lines and
// audio-CD tracks (extension "cda" or "CDA") passed over. A line beginning
// with "/" or "\" is an absolute path, one whose second character is ":"
// is taken as it stands, any other is relative to the playlist's folder.
#pragma once

#include "kilnar/app/playlists/M3uCopyPlaylist.h"

class M3uPlaylist : public M3uCopyPlaylist {
 public:
  explicit M3uPlaylist(const std::string& path);
  const char* GetClassName() const override { return "M3uPlaylist"; }

 protected:
  std::vector<std::string> ReadPaths() override;
};
