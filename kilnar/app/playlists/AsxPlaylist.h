// An album read from an ASX playlist, line by line: after a line naming an
// audio "MediaType", the next "SourceURL" line gives a path, from the
// character before its last ":" to the double quote after it (a quoted
// drive path). A "SourceURL" line without ":" names nothing.
#pragma once

#include "kilnar/app/playlists/M3uCopyPlaylist.h"

class AsxPlaylist : public M3uCopyPlaylist {
 public:
  explicit AsxPlaylist(const std::string& path);
  const char* GetClassName() const override { return "AsxPlaylist"; }

 protected:
  std::vector<std::string> ReadPaths() override;
};
