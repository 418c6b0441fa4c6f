// skinc chunks FILE: the chunk structure of a compiled skin.
#include <cstdio>

#include "Reporting.h"
#include "foundation/filesystem/FileSystem.h"
#include "foundation/streams/Stream.h"
#include "skins/base/ChunkIo.h"
#include "skins/base/SkinErrors.h"
#include "skins/compiled/SkinFile.h"
#include "skins/compiled/SkinFileFormat.h"

namespace {

void ListInner(CStream& stream, DWORD length) {
  CInnerStream inner = OpenInnerStream(stream, length);
  if (inner.packed)
    std::printf(" packed %lu %lu\n", static_cast<unsigned long>(inner.length),
                static_cast<unsigned long>(inner.packedSize));
  else
    std::printf(" unpacked %lu\n", static_cast<unsigned long>(inner.length));
  WalkInnerChunks(inner, [&](DWORD tag, DWORD size) {
    std::printf("  %s %lu\n", TagText(tag).c_str(), static_cast<unsigned long>(size));
    SkipExact(*inner.stream, size);
    return true;
  });
}

// The top-level walk of the whole-skin reader, listing instead of reading.
void ListChunks(CStream& stream) {
  DWORD remaining = ReadSkinHeader(stream);
  bool infoSeen = false, dataSeen = false;
  while (remaining != 0) {
    const ChunkHead head = NextChunk(stream, remaining);
    std::printf("%s %lu", TagText(head.tag).c_str(), static_cast<unsigned long>(head.length));
    if (head.tag == kTagDATA) {
      if (!infoSeen || dataSeen) ThrowCorruptedFile();
      ListInner(stream, head.length);
      dataSeen = true;
      continue;
    }
    std::printf("\n");
    if (head.tag == kTagINFO ? (infoSeen || dataSeen) : !infoSeen) ThrowCorruptedFile();
    infoSeen = infoSeen || head.tag == kTagINFO;
    SkipExact(stream, head.length);
  }
  if (!infoSeen || !dataSeen) ThrowCorruptedFile();
}

}  // namespace

TOOL_COMMAND(Chunks, "chunks",
             "FILE  list the top-level chunks (\"TAG LENGTH\"; DATA adds \"packed U P\" or \"unpacked N\"),\n"
             "      then after DATA the inner element chunks, indented, once unpacked and CRC-checked")
{
  if (args.size() != 1) return tool::Fail("usage: chunks FILE");
  return skinc::RunReportingErrors([&] {
    CStream* stream = GetFileSystem().Open(args[0].c_str(), kStreamRead | kStreamBuffered | kStreamShareRead, 0);
    try {
      ListChunks(*stream);
    } catch (...) {
      std::fflush(stdout);
      stream->CloseNoThrow();
      throw;
    }
    stream->Close();
    return 0;
  });
}
