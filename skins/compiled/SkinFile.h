// The compiled skin file as a container: the magic and rest length, the
// "INFO" chunk, and the "DATA" chunk that carries the inner stream of
// element chunks, packed by zlib with a CRC-32 of the packed bytes or
// stored as it is. What the element chunks hold is the content's business
// (CSkinFileContent); this layer enforces the order of the top-level
// chunks, checks the packed part before it inflates anything, and walks the
// inner stream's chunk heads.
//
// Every structural fault is "Corrupted file", a wrong magic "This is not a
// valid skin file.", a short read "end of stream". One thread at a time.
#pragma once

#include <memory>

#include <windows.h>

class CMemoryStream;
class CSkinInfo;
class CStream;

// What a compiled skin carries besides the container.
class CSkinFileContent {
 public:
  virtual ~CSkinFileContent() = default;
  virtual CSkinInfo& GetInfo() = 0;
  // Right after "INFO" was read, before "DATA" is unpacked: a skin made
  // for a newer player is refused here.
  virtual void OnInfoRead() {}
  // One element chunk of the inner stream; reads exactly `length` bytes
  // (skipping tags it does not know) and refuses a repeated element.
  virtual void ReadElement(CStream& stream, DWORD tag, DWORD length) = 0;
  // After the last element chunk: refuses a stream without the elements
  // it requires.
  virtual void EndElements() = 0;
  // The element chunks, in their order.
  virtual void WriteElements(CStream& stream) = 0;
};

// Writes header, "INFO" and "DATA" (packed: flags 1, U, the CRC-32 of
// the packed bytes, P, the zlib stream). The stream must be seekable.
void WriteSkinFile(CStream& stream, CSkinFileContent& content, bool packed);
// Reads a whole compiled skin into the content. The content is not
// cleared here on failure; its owner does that.
void ReadSkinFile(CStream& stream, CSkinFileContent& content);

// The pieces, for readers that walk a file their own way.
//
// Reads the 16-byte header; returns the rest length.
DWORD ReadSkinHeader(CStream& stream);

// The inner stream of a "DATA" chunk whose `length` data bytes follow
// the stream's position: after OpenInnerStream the flags and the packed
// part are consumed (and the rest of the chunk skipped), and `stream`
// is where the element chunks are read, `length` how many bytes they
// take: the unpacked bytes in memory, or the file itself.
struct CInnerStream {
  CStream* stream = nullptr;
  DWORD length = 0;
  bool packed = false;
  DWORD packedSize = 0;
  std::unique_ptr<CMemoryStream> unpacked;

  CInnerStream();
  CInnerStream(CInnerStream&&) noexcept;
  ~CInnerStream();
};
CInnerStream OpenInnerStream(CStream& stream, DWORD length);

// Walks the element chunks of an inner stream, handing each head to the
// visitor, which must read exactly the chunk's data and answers whether
// the walk goes on; an empty inner stream is corrupted.
template <class Visitor>
void WalkInnerChunks(CInnerStream& inner, Visitor&& visit);

#include "skins/compiled/SkinFile.inl"
