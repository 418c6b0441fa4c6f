// The result codes of the burner's native playlist reader and writer. 0 is
// success; callers may go on with whatever the playlist holds after any
// other code.
#pragma once

enum PlaylistCode : int {
  kPlaylistOk = 0,
  kPlaylistOutOfMemory = 1,
  kPlaylistCannotOpen = 10,
  kPlaylistEndsEarly = 11,
  kPlaylistSeekFailed = 12,
  kPlaylistShortWrite = 13,
  kPlaylistNotNative = 20,
  kPlaylistTooNew = 21,
  kPlaylistMalformed = 22,
  kPlaylistEntryWithoutUrl = 30,
  kPlaylistBadPosition = 31,
  // Inside the reader only: an entry of an unknown kind, passed over.
  kPlaylistEntrySkipped = 1000,
};
