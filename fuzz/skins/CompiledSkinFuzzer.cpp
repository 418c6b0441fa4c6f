// The compiled-skin reader on arbitrary bytes, as for a skin file a user
// installs: the container, the packed data and every element chunk the
// reader knows. Errors are expected; a crash, a sanitizer report or an
// exception other than an error object is a finding. The reader refuses
// unpacked sizes beyond what deflate can give, so the memory an input can
// ask for is bounded by its own size.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "foundation/kernel/Error.h"
#include "foundation/streams/MemoryStream.h"
#include "skins/compiled/SkinElementChunks.h"
#include "skins/compiled/SkinFile.h"
#include "skins/frames/AuxWindowSkin.h"
#include "skins/frames/ControlWindowSkin.h"
#include "skins/info/SkinInfo.h"
#include "skins/sets/SkinColorSet.h"
#include "skins/sets/SkinFontSet.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 0x7FFFFFFF) return 0;
  BYTE* block = new BYTE[size ? size : 1];
  if (size) std::memcpy(block, data, size);
  CMemoryStream stream;
  stream.Open(block, static_cast<DWORD>(size), kStreamRead | kStreamSeek, 0, false);
  CSkinInfo info;
  CSkinColorSet colors;
  CSkinFontSet fonts;
  CControlWindowSkin controlWindows[3];
  CAuxWindowSkin auxWindow;
  CSkinElementChunks content(
      {&info, &colors, &fonts, {&controlWindows[0], &controlWindows[1], &controlWindows[2]}, &auxWindow});
  try {
    ReadSkinFile(stream, content);
  } catch (CError* error) {
    DisposeError(error);
  }
  return 0;
}
