// CZLib: one zlib stream, compressing or decompressing, that remembers
// which of the two is under way so that it can be ended. Every failing
// zlib call throws a CZLibError naming the call. End and the two end
// operations report a failing end; the destructor ends what is still open
// quietly, since it runs while another error leaves the caller early.
//
// The two block forms below are how compiled skins pack and unpack their
// data chunk. A CZLib belongs to the routine that uses it: one thread.
#pragma once

#include <windows.h>
#include <zlib.h>

#include "foundation/kernel/TypedObject.h"

class CStream;

class CZLib : public CTypedObject {
  TWL_DECLARE_CLASS(CZLib)
 public:
  CZLib() noexcept;
  CZLib(const CZLib&) = delete;
  CZLib& operator=(const CZLib&) = delete;
  // Ends an open stream; a failure of that end is dropped.
  ~CZLib() override;

  // zlib's stream record: the caller sets the input and output pointers
  // and counts before each step.
  z_stream& GetStream() { return m_Stream; }
  bool IsCompressing() const { return m_Compressing; }
  bool IsDecompressing() const { return m_Decompressing; }

  // Each start first ends a stream still open (End). A result other than
  // Z_OK throws; a negative step result throws, and so does Z_NEED_DICT
  // (no preset dictionary is ever set, so such a stream cannot be
  // inflated). The steps return zlib's result (Z_OK, Z_STREAM_END).
  void StartCompression(INT level = Z_DEFAULT_COMPRESSION);
  INT Deflate(INT flush);
  void EndCompression();
  void StartDecompression();
  INT Inflate(INT flush);
  void EndDecompression();
  // Ends whatever is open; a failing end throws.
  void End();

  // Compresses the block to the stream in steps of an output buffer as
  // large as the block, adding the bytes written to `crc` (zlib's CRC-32)
  // when given; returns the number of bytes written. An empty block has no
  // room for output: the first step fails with Z_BUF_ERROR.
  DWORD CompressBlock(const BYTE* data, DWORD size, CStream& output, DWORD* crc = nullptr);
  // Decompresses the block into the buffer in one step. False when the
  // data is corrupt: the stream did not end, or input or output is left
  // over. zlib's failures throw.
  bool DecompressBlock(const BYTE* data, DWORD size, BYTE* buffer, DWORD bufferSize);

 private:
  static voidpf Allocate(voidpf opaque, uInt items, uInt size);
  static void Free(voidpf opaque, voidpf block);
  void ResetStream();

  z_stream m_Stream;
  bool m_Decompressing = false;
  bool m_Compressing = false;
};
