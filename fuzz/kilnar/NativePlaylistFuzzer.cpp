// Arbitrary bytes as a native playlist for the burner's own reader, read
// from a folder other than the one its head may name (so re-basing runs).
#include <cstddef>
#include <cstdint>

#include "FuzzFile.h"
#include "kilnar/app/playlists/NativePlaylist.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  NativePlaylist playlist;
  playlist.Load(fuzzfile::WriteInput(data, size, ".p4u"));
  return 0;
}
