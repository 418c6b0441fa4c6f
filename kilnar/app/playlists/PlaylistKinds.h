// Which album class reads a playlist file: chosen by the last three
// characters of its path without regard to case ("m3u", "pls", "asx",
// "mcd", and "p4u", "wpl", "apl" for native playlists).
#pragma once

#include <memory>
#include <string>

class CdPlaylist;

// The album read from the file; null for a path of another kind.
std::unique_ptr<CdPlaylist> MakeCdPlaylist(const std::string& path);
