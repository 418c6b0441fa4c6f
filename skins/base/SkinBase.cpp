#include "skins/base/SkinBase.h"

#include <zlib.h>

#include "foundation/kernel/Error.h"
#include "foundation/streams/Stream.h"
#include "foundation/zlib/ZLib.h"
#include "foundation/zlib/ZLibError.h"
#include "skins/base/ChunkIo.h"
#include "skins/base/SkinErrors.h"

TWL_IMPLEMENT_CLASS(CSkinBase, CTypedObject)

LONGLONG CSkinBase::BeginChunk(CStream& stream, DWORD tag) {
  WriteU32(stream, tag);
  return BeginBlock(stream);
}

LONGLONG CSkinBase::BeginBlock(CStream& stream) {
  WriteU32(stream, 0);
  return stream.GetPosition();
}

void CSkinBase::EndChunk(CStream& stream, LONGLONG position) {
  const LONGLONG end = stream.GetPosition();
  stream.Seek(position - 4, kSeekFromStart, nullptr);
  WriteU32(stream, static_cast<DWORD>(end - position));
  stream.Seek(end, kSeekFromStart, nullptr);
}

DWORD CSkinBase::Compress(CStream& stream, const BYTE* data, DWORD size, DWORD* crc) {
  CZLib zlib;
  return zlib.CompressBlock(data, size, stream, crc);
}

void CSkinBase::Uncompress(BYTE* destination, DWORD destinationSize, const BYTE* source, DWORD sourceSize) {
  CZLib zlib;
  zlib.StartDecompression();
  z_stream& z = zlib.GetStream();
  z.next_in = const_cast<Bytef*>(source);
  z.avail_in = sourceSize;
  z.next_out = destination;
  z.avail_out = destinationSize;
  // Called directly, not through the wrapper's step: running out of room
  // (the data inflates to more than announced) is a corrupted file, not a
  // failure of zlib.
  const int result = inflate(&z, Z_FINISH);
  if (result < 0 && result != Z_BUF_ERROR) ThrowError<CZLibError>(result, z.msg, CZLibError::kInflate);
  const bool complete = result == Z_STREAM_END && z.avail_in == 0 && z.avail_out == 0;
  zlib.EndDecompression();
  if (!complete) ThrowCorruptedFile();
}
