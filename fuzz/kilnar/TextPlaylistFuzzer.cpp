// Arbitrary text as an M3U, PLS or ASX playlist (the first byte chooses),
// read into an album as the burner reads the playlist it is handed.
#include <cstddef>
#include <cstdint>

#include "FuzzFile.h"
#include "kilnar/app/playlists/CdPlaylist.h"
#include "kilnar/app/playlists/PlaylistKinds.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  static const char* const kKinds[] = {".m3u", ".pls", ".asx"};
  const char* kind = kKinds[data[0] % 3];
  auto album = MakeCdPlaylist(fuzzfile::WriteInput(data + 1, size - 1, kind));
  if (album) album->ComputeTotalSize();
  return 0;
}
