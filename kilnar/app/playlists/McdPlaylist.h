// An album read from an MCD playlist, an archive of the class library: a
// CCDAudioDoc object, a 16-bit count and that many pairs of strings, the
// second of each a path. A fault of the archive gives an album without
// entries.
#pragma once

#include "kilnar/app/playlists/M3uCopyPlaylist.h"

class McdPlaylist : public M3uCopyPlaylist {
 public:
  explicit McdPlaylist(const std::string& path);
  const char* GetClassName() const override { return "McdPlaylist"; }

  // The paths an archive's bytes name; empty for a damaged archive.
  static std::vector<std::string> PathsOfArchive(const std::string& bytes);

 protected:
  std::vector<std::string> ReadPaths() override;
};
