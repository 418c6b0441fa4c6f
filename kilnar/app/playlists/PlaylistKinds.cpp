#include "kilnar/app/playlists/PlaylistKinds.h"

#include <strings.h>

#include "kilnar/app/playlists/AsxPlaylist.h"
#include "kilnar/app/playlists/M3uPlaylist.h"
#include "kilnar/app/playlists/McdPlaylist.h"
#include "kilnar/app/playlists/P4uPlaylist.h"
#include "kilnar/app/playlists/PlsPlaylist.h"

std::unique_ptr<CdPlaylist> MakeCdPlaylist(const std::string& path) {
  if (path.size() < 3) return nullptr;
  const char* kind = path.c_str() + path.size() - 3;
  auto is = [kind](const char* text) { return strcasecmp(kind, text) == 0; };
  if (is("m3u")) return std::make_unique<M3uPlaylist>(path);
  if (is("mcd")) return std::make_unique<McdPlaylist>(path);
  if (is("pls")) return std::make_unique<PlsPlaylist>(path);
  if (is("asx")) return std::make_unique<AsxPlaylist>(path);
  if (is("wpl") || is("apl") || is("p4u")) return std::make_unique<P4uPlaylist>(path);
  return nullptr;
}
