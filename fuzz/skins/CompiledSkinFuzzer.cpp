// The compiled-skin reader on arbitrary bytes, as for a skin file a user
// installs: the whole skin (container, packed data, every element) and the
// reading of one mode into another skin, as the built-in skin completes
// skins without a mini mode. Errors are expected; a crash, a sanitizer
// report or an exception other than an error object is a finding. The
// reader refuses unpacked sizes beyond what deflate can give, so the memory
// an input can ask for is bounded by its own size.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "foundation/kernel/Error.h"
#include "foundation/streams/MemoryStream.h"
#include "skins/skin/Skin.h"

namespace {

void OpenOver(CMemoryStream& stream, const uint8_t* data, size_t size) {
  BYTE* block = new BYTE[size ? size : 1];
  if (size) std::memcpy(block, data, size);
  stream.Open(block, static_cast<DWORD>(size), kStreamRead | kStreamSeek, 0, false);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 0x7FFFFFFF) return 0;
  try {
    CMemoryStream stream;
    OpenOver(stream, data, size);
    CSkin skin;
    skin.LoadCompiled(stream);
  } catch (CError* error) {
    DisposeError(error);
  }
  try {
    CMemoryStream stream;
    OpenOver(stream, data, size);
    CSkin skin;
    skin.LoadModeFromCompiled(2, stream);
  } catch (CError* error) {
    DisposeError(error);
  }
  return 0;
}
