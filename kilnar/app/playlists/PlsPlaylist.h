// An album read from a PLS playlist: section "playlist", "NumberOfEntries"
// and "File1" to "FileN" (names without regard to case, as in profile
// files). A value that begins with "/" or whose second character is ":"
// is a path as it stands; any other is relative to the playlist's folder.
// The CD copy is a PLS file.
#pragma once

#include "kilnar/app/playlists/CdPlaylist.h"

class PlsPlaylist : public CdPlaylist {
 public:
  explicit PlsPlaylist(const std::string& path);
  const char* GetClassName() const override { return "PlsPlaylist"; }
  bool Save() override;

 protected:
  std::vector<std::string> ReadPaths() override;
  std::string GetCopyExtension() const override { return ".PLS"; }
};
