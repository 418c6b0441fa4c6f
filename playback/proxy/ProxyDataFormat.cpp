#include "playback/proxy/ProxyDataFormat.h"

#include <algorithm>

#include "foundation/streams/Stream.h"
#include "foundation/streams/StreamError.h"

namespace proxydata {
namespace {

constexpr DWORD kChunkSize = 4096;

[[noreturn]] void ThrowEndOfStream(CStream& stream) { ThrowError<CStreamError>(CStreamError::kEndOfStream, stream); }

// What is left to read, or -1 when the stream cannot tell at once.
LONGLONG BytesLeft(CStream& stream) {
  const LONGLONG length = stream.GetLength(true, nullptr);
  if (length < 0) return -1;
  return std::max<LONGLONG>(0, length - stream.GetPosition());
}

}  // namespace

DWORD ReadWord(CStream& stream) {
  BYTE bytes[4];
  if (stream.Read(bytes, sizeof bytes) != sizeof bytes) ThrowEndOfStream(stream);
  return static_cast<DWORD>(bytes[0]) | static_cast<DWORD>(bytes[1]) << 8 | static_cast<DWORD>(bytes[2]) << 16 |
         static_cast<DWORD>(bytes[3]) << 24;
}

CStr ReadText(CStream& stream) {
  const DWORD length = ReadWord(stream);
  const LONGLONG left = BytesLeft(stream);
  if (left >= 0 && length > left) ThrowEndOfStream(stream);
  CStr text;
  char chunk[kChunkSize];
  for (DWORD done = 0; done < length;) {
    const DWORD wanted = std::min(kChunkSize, length - done);
    const DWORD got = stream.Read(chunk, wanted);
    text.Append(chunk, got);
    if (got < wanted) ThrowEndOfStream(stream);
    done += got;
  }
  return text;
}

void WriteWord(CStream& stream, DWORD value) {
  const BYTE bytes[4] = {static_cast<BYTE>(value), static_cast<BYTE>(value >> 8), static_cast<BYTE>(value >> 16),
                         static_cast<BYTE>(value >> 24)};
  stream.Write(bytes, sizeof bytes);
}

void WriteText(CStream& stream, const CStr& text) {
  WriteWord(stream, static_cast<DWORD>(text.GetLength()));
  stream.Write(text.c_str(), static_cast<DWORD>(text.GetLength()));
}

}  // namespace proxydata
