// The text playlists of other programs: M3U (one path or URL per line) and
// PLS (an ini-style "[Playlist]" section of numbered File and Title keys).
// The parsers work on the whole text, which the loader has bounded, and
// resolve each file text against the playlist's own location:
// - a text with a scheme stands as it is, except that a "file:" URL of
//   another program has its %XX escapes decoded into the path;
// - on a drive playlist ("file://D:/...") a text beginning with "\" or "/"
//   goes on the drive's root, and "D:\..." is a drive path;
// - on a local playlist of this system a text beginning with "\" or "/" is
//   an absolute path and any other is relative to the playlist's folder,
//   "\" read as "/";
// - elsewhere (a network playlist) every other text is relative to the
//   playlist's folder.
// A UTF-8 byte-order mark at the start is passed over, and a line that is
// not valid UTF-8 is read as Windows-1252.
//
// Any thread; no state.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Where a playlist's texts are resolved, from the playlist's URL.
struct PlayListTextBase {
  std::string folder;  // up to the last "/" or "\", with "file://" when it had no scheme
  std::string drive;   // "file://D:" for a drive playlist, else empty
  bool local = false;  // a "file://" folder without a drive

  static PlayListTextBase FromUrl(std::string_view url);
};

struct PlayListTextEntry {
  std::string url;
  std::string title;  // PLS only; empty when none
};

// The URL a file text names.
std::string ResolvePlayListText(std::string_view text, const PlayListTextBase& base);

// Never fails: comments and empty lines are passed over.
std::vector<PlayListTextEntry> ParseM3U(std::string_view text, const PlayListTextBase& base);
// Throws the corrupted-playlist error for a text without a "[Playlist]"
// section that says its NumberOfEntries; a text whose first line is not a
// section header is read as M3U.
std::vector<PlayListTextEntry> ParsePLS(std::string_view text, const PlayListTextBase& base);

// The largest text read (10 MiB).
constexpr long long kMaxPlayListTextSize = 10 * 1024 * 1024;
