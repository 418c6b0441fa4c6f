// Arbitrary bytes as an MCD playlist: the class library's archive with
// its class tags, references, strings and nested documents.
#include <cstddef>
#include <cstdint>
#include <string>

#include "kilnar/app/playlists/McdPlaylist.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  McdPlaylist::PathsOfArchive(std::string(reinterpret_cast<const char*>(data), size));
  return 0;
}
