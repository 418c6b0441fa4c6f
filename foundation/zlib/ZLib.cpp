#include "foundation/zlib/ZLib.h"

#include <cstdlib>
#include <limits>
#include <memory>
#include <new>

#include "foundation/kernel/MemoryError.h"
#include "foundation/streams/Stream.h"
#include "foundation/zlib/ZLibError.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CZLib, CTypedObject)

namespace {

[[noreturn]] void ThrowZLibError(INT result, const z_stream& stream, DWORD context) {
  ThrowError<CZLibError>(result, stream.msg, context);
}

}  // namespace

voidpf CZLib::Allocate(voidpf, uInt items, uInt size) {
  if (size != 0 && items > std::numeric_limits<size_t>::max() / size) return Z_NULL;
  return std::malloc(static_cast<size_t>(items) * size);
}

void CZLib::Free(voidpf, voidpf block) { std::free(block); }

CZLib::CZLib() noexcept { ResetStream(); }

CZLib::~CZLib() {
  if (m_Decompressing) inflateEnd(&m_Stream);
  if (m_Compressing) deflateEnd(&m_Stream);
}

void CZLib::ResetStream() {
  m_Stream = z_stream{};
  m_Stream.zalloc = &CZLib::Allocate;
  m_Stream.zfree = &CZLib::Free;
  m_Stream.opaque = this;
}

void CZLib::StartCompression(INT level) {
  End();
  ResetStream();
  // deflateInit hands zlib the version of the header we were built with.
  const INT result = deflateInit(&m_Stream, level);
  if (result != Z_OK) ThrowZLibError(result, m_Stream, CZLibError::kDeflateInit);
  m_Compressing = true;
}

INT CZLib::Deflate(INT flush) {
  const INT result = deflate(&m_Stream, flush);
  if (result < 0) ThrowZLibError(result, m_Stream, CZLibError::kDeflate);
  return result;
}

void CZLib::EndCompression() {
  if (!m_Compressing) return;
  const INT result = deflateEnd(&m_Stream);
  // Z_DATA_ERROR: zlib freed the stream although output was pending.
  if (result == Z_OK || result == Z_DATA_ERROR) m_Compressing = false;
  if (result != Z_OK) ThrowZLibError(result, m_Stream, CZLibError::kDeflateEnd);
}

void CZLib::StartDecompression() {
  End();
  ResetStream();
  const INT result = inflateInit(&m_Stream);
  if (result != Z_OK) ThrowZLibError(result, m_Stream, CZLibError::kInflateInit);
  m_Decompressing = true;
}

INT CZLib::Inflate(INT flush) {
  const INT result = inflate(&m_Stream, flush);
  // A stream that asks for a preset dictionary cannot go on: nothing here
  // sets one, and zlib would answer every further step the same way.
  if (result < 0 || result == Z_NEED_DICT) ThrowZLibError(result, m_Stream, CZLibError::kInflate);
  return result;
}

void CZLib::EndDecompression() {
  if (!m_Decompressing) return;
  const INT result = inflateEnd(&m_Stream);
  if (result != Z_OK) ThrowZLibError(result, m_Stream, CZLibError::kInflateEnd);
  m_Decompressing = false;
}

void CZLib::End() {
  EndDecompression();
  EndCompression();
}

DWORD CZLib::CompressBlock(const BYTE* data, DWORD size, CStream& output, DWORD* crc) {
  std::unique_ptr<BYTE[]> buffer(new (std::nothrow) BYTE[size ? size : 1]);
  if (!buffer) ThrowMemoryError();
  StartCompression();
  m_Stream.next_in = const_cast<Bytef*>(data);
  m_Stream.avail_in = size;
  DWORD total = 0;
  INT result;
  do {
    m_Stream.next_out = buffer.get();
    m_Stream.avail_out = size;
    result = Deflate(Z_FINISH);
    const DWORD produced = size - m_Stream.avail_out;
    output.Write(buffer.get(), produced);
    if (crc) *crc = static_cast<DWORD>(crc32(*crc, buffer.get(), produced));
    total += produced;
  } while (result != Z_STREAM_END);
  buffer.reset();
  EndCompression();
  return total;
}

bool CZLib::DecompressBlock(const BYTE* data, DWORD size, BYTE* buffer, DWORD bufferSize) {
  StartDecompression();
  m_Stream.next_in = const_cast<Bytef*>(data);
  m_Stream.avail_in = size;
  m_Stream.next_out = buffer;
  m_Stream.avail_out = bufferSize;
  const INT result = Inflate(Z_FINISH);
  EndDecompression();
  return result == Z_STREAM_END && m_Stream.avail_in == 0 && m_Stream.avail_out == 0;
}
