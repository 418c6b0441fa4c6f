// The FTP listing parser over random lines in every style: it must never
// crash nor read past the line, a parsed entry has a known type and a
// size of -1 or more, and a failed parse leaves an empty entry.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "plugins/netvarra/ftp/FTPListLine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The copy is exactly the input, so a read past it is caught.
  const std::string line(reinterpret_cast<const char*>(data), size);
  for (int32_t style = -1; style <= 5; ++style) {
    FTPListEntry entry;
    if (!ParseListLine(line, entry, style)) {
      if (entry.style != -1 || entry.type != 0 || !entry.name.empty() || entry.size != -1) abort();
      continue;
    }
    if (entry.type < 1 || entry.type > 3 || entry.size < -1) abort();
    if (style != -1 && entry.style != style) abort();
    if (entry.name.find('\r') != std::string::npos) abort();
  }
  return 0;
}
