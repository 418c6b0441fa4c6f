// The albums whose CD copy is an M3U file: one line per entry of the album,
// the file's name on the CD, lines ended by CR LF, no header, the
// extension ".M3U". M3U, ASX and MCD playlists are copied this way.
#pragma once

#include "kilnar/app/playlists/CdPlaylist.h"

class M3uCopyPlaylist : public CdPlaylist {
 public:
  using CdPlaylist::CdPlaylist;
  bool Save() override;

 protected:
  std::string GetCopyExtension() const override { return ".M3U"; }
};
