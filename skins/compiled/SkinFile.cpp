#include "skins/compiled/SkinFile.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

#include <zlib.h>

#include "foundation/kernel/MemoryError.h"
#include "foundation/streams/MemoryStream.h"
#include "foundation/streams/Stream.h"
#include "skins/base/ChunkIo.h"
#include "skins/base/SkinBase.h"
#include "skins/base/SkinErrors.h"
#include "skins/base/SkinPointers.h"
#include "skins/compiled/SkinFileFormat.h"
#include "skins/info/SkinInfo.h"

namespace {

constexpr DWORD kGrowStep = 65536;
// Deflate never packs more than 1032 bytes into one: a larger unpacked
// size than that allows is a lie, refused before anything is allocated.
constexpr uint64_t kMaxDeflateRatio = 1032;
// Memory streams hold less than 2 GiB.
constexpr DWORD kMaxUnpackedSize = 0x7FFFFFFF;

std::unique_ptr<BYTE[]> NewBytes(DWORD size) {
  std::unique_ptr<BYTE[]> bytes(new (std::nothrow) BYTE[size ? size : 1]);
  if (!bytes) ThrowMemoryError();
  return bytes;
}

// The packed part of "DATA" (`available` bytes after the flags): U, the
// check value, P and the packed bytes. Returns the unpacked bytes as a
// stream that owns them; `rest` receives the bytes of the chunk after the
// packed ones.
std::unique_ptr<CMemoryStream> ReadPackedData(CStream& stream, DWORD available, DWORD* rest, DWORD* packedSize) {
  if (available <= 11) ThrowCorruptedFile();
  const DWORD unpackedSize = ReadU32(stream);
  const DWORD check = ReadU32(stream);
  const DWORD size = ReadU32(stream);
  if (size > available - 12 || unpackedSize == 0 || size == 0) ThrowCorruptedFile();
  if (unpackedSize > kMaxUnpackedSize || unpackedSize > kMaxDeflateRatio * (static_cast<uint64_t>(size) + 1))
    ThrowCorruptedFile();
  RequireStreamBytes(stream, size);
  std::unique_ptr<BYTE[]> packed = NewBytes(size);
  ReadExact(stream, packed.get(), size);
  // A changed byte is caught here, before zlib sees it.
  if (static_cast<DWORD>(crc32(0, packed.get(), size)) != check) ThrowCorruptedFile();
  std::unique_ptr<BYTE[]> unpacked = NewBytes(unpackedSize);
  CSkinBase::Uncompress(unpacked.get(), unpackedSize, packed.get(), size);
  packed.reset();
  std::unique_ptr<CMemoryStream> inner(NewObject<CMemoryStream>());
  inner->Open(unpacked.release(), unpackedSize, kStreamRead | kStreamWrite | kStreamSeek, 0, false);
  *rest = available - 12 - size;
  *packedSize = size;
  return inner;
}

void ReadDataChunk(CStream& stream, DWORD length, CSkinFileContent& content) {
  CInnerStream inner = OpenInnerStream(stream, length);
  WalkInnerChunks(inner, [&](DWORD tag, DWORD size) {
    content.ReadElement(*inner.stream, tag, size);
    return true;
  });
  content.EndElements();
}

}  // namespace

CInnerStream::CInnerStream() = default;
CInnerStream::CInnerStream(CInnerStream&&) noexcept = default;
CInnerStream::~CInnerStream() = default;

DWORD ReadSkinHeader(CStream& stream) {
  char magic[kSkinMagicSize];
  ReadExact(stream, magic, kSkinMagicSize);
  const DWORD rest = ReadU32(stream);
  if (std::memcmp(magic, kSkinMagic, kSkinMagicSize) != 0) ThrowNoSkinFile();
  return rest;
}

CInnerStream OpenInnerStream(CStream& stream, DWORD length) {
  if (length < 4) ThrowCorruptedFile();
  const DWORD flags = ReadU32(stream);
  CInnerStream inner;
  inner.stream = &stream;
  inner.length = length - 4;
  if (flags & kDataPacked) {
    DWORD rest = 0;
    inner.unpacked = ReadPackedData(stream, length - 4, &rest, &inner.packedSize);
    SkipExact(stream, rest);
    inner.stream = inner.unpacked.get();
    inner.length = static_cast<DWORD>(inner.unpacked->GetLength(true, nullptr));
    inner.packed = true;
  }
  return inner;
}

void ReadSkinFile(CStream& stream, CSkinFileContent& content) {
  DWORD remaining = ReadSkinHeader(stream);
  bool infoRead = false;
  bool dataRead = false;
  while (remaining != 0) {
    const ChunkHead head = NextChunk(stream, remaining);
    if (head.tag == kTagDATA) {
      if (!infoRead || dataRead) ThrowCorruptedFile();
      ReadDataChunk(stream, head.length, content);
      dataRead = true;
    } else if (head.tag == kTagINFO) {
      if (infoRead || dataRead) ThrowCorruptedFile();
      content.GetInfo().ReadInfo(stream, head.length);
      infoRead = true;
      content.OnInfoRead();
    } else {
      if (!infoRead) ThrowCorruptedFile();
      SkipExact(stream, head.length);
    }
  }
  if (!infoRead || !dataRead) ThrowCorruptedFile();
}

void WriteSkinFile(CStream& stream, CSkinFileContent& content, bool packed) {
  stream.Write(kSkinMagic, kSkinMagicSize);
  const LONGLONG rest = CSkinBase::BeginBlock(stream);
  const LONGLONG info = CSkinBase::BeginChunk(stream, kTagINFO);
  content.GetInfo().WriteInfo(stream);
  CSkinBase::EndChunk(stream, info);

  const LONGLONG data = CSkinBase::BeginChunk(stream, kTagDATA);
  WriteU32(stream, packed ? kDataPacked : 0);
  if (packed) {
    CMemoryStream inner;
    inner.Open(nullptr, 0, kStreamRead | kStreamWrite | kStreamSeek, kGrowStep, false);
    content.WriteElements(inner);
    const DWORD unpackedSize = static_cast<DWORD>(inner.GetLength(true, nullptr));
    WriteU32(stream, unpackedSize);
    WriteU32(stream, 0);  // the check value, known after packing
    WriteU32(stream, 0);  // the packed size, likewise
    const LONGLONG packedStart = stream.GetPosition();
    DWORD check = 0;
    CSkinBase::Compress(stream, inner.GetBuffer(), unpackedSize, &check);
    const LONGLONG packedEnd = stream.GetPosition();
    stream.Seek(packedStart - 8, kSeekFromStart, nullptr);
    WriteU32(stream, check);
    WriteU32(stream, static_cast<DWORD>(packedEnd - packedStart));
    stream.Seek(packedEnd, kSeekFromStart, nullptr);
  } else {
    content.WriteElements(stream);
  }
  CSkinBase::EndChunk(stream, data);
  CSkinBase::EndChunk(stream, rest);
}
