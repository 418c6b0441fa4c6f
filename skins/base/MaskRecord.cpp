// The mask record of compiled skin data.
#include <cstdint>

#include "foundation/streams/Stream.h"
#include "skins/base/ChunkIo.h"
#include "skins/base/SkinBase.h"
#include "skins/base/SkinErrors.h"
#include "skins/base/SkinPointers.h"
#include "skins/masks/Mask.h"

DWORD CSkinBase::WriteMask(CStream& stream, const CMask& mask) {
  WriteU32(stream, static_cast<DWORD>(mask.GetWidth()));
  WriteU32(stream, static_cast<DWORD>(mask.GetHeight()));
  const DWORD size = static_cast<DWORD>(mask.GetWidth()) * static_cast<DWORD>(mask.GetHeight());
  if (size) stream.Write(mask.GetBytes(), size);
  return 8 + size;
}

CMask* CSkinBase::ReadMask(CStream& stream, DWORD available) {
  if (available <= 7) ThrowCorruptedFile();
  const DWORD width = ReadU32(stream);
  const DWORD height = ReadU32(stream);
  // The bytes must be there before the mask is made for them; a mask's
  // sides are signed.
  const uint64_t size = static_cast<uint64_t>(width) * height;
  if (width > INT32_MAX || height > INT32_MAX || size > available - 8) ThrowCorruptedFile();
  RequireStreamBytes(stream, size);
  MaskPtr mask(NewObject<CMask>());
  mask->Create(static_cast<INT>(width), static_cast<INT>(height));
  ReadExact(stream, mask->GetBytes(), static_cast<DWORD>(size));
  SkipExact(stream, available - 8 - static_cast<DWORD>(size));
  return mask.release();
}
