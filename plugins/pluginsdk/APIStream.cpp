#include "plugins/pluginsdk/APIStream.h"

#include <algorithm>

#include "foundation/streams/StreamError.h"

TWL_IMPLEMENT_CLASS(CAPIStream, CStream)

namespace {

constexpr DWORD kChunkSize = 65536;
// The sharing bits mean "deny" across the plug-in interface and "allow"
// in a CStream.
constexpr DWORD kSharingBits = HOST_STREAM_DENY_READ | HOST_STREAM_DENY_WRITE;

LONGLONG Join(const DWORD (&words)[2]) {
  return static_cast<LONGLONG>(static_cast<ULONGLONG>(words[1]) << 32 | words[0]);
}

DWORD Low(LONGLONG value) { return static_cast<DWORD>(static_cast<ULONGLONG>(value)); }
DWORD High(LONGLONG value) { return static_cast<DWORD>(static_cast<ULONGLONG>(value) >> 32); }

BOOL HostRead(const HostApiTable& host, HOST_STREAM stream, BYTE* at, DWORD size, DWORD* moved) {
  return host.HOST_StreamRead(stream, at, size, moved);
}
BOOL HostReadSome(const HostApiTable& host, HOST_STREAM stream, BYTE* at, DWORD size, DWORD* moved) {
  return host.HOST_StreamReadSome(stream, at, size, moved);
}
BOOL HostSkip(const HostApiTable& host, HOST_STREAM stream, BYTE*, DWORD size, DWORD* moved) {
  return host.HOST_StreamSkip(stream, size, moved);
}
BOOL HostSkipSome(const HostApiTable& host, HOST_STREAM stream, BYTE*, DWORD size, DWORD* moved) {
  return host.HOST_StreamSkipSome(stream, size, moved);
}

}  // namespace

CAPIStream::CAPIStream(HOST_STREAM stream, const HostApiTable& host) : m_Stream(stream), m_Host(host) {
  char* path = nullptr;
  Require(m_Host.HOST_StreamGetPath(m_Stream, &path));
  // Copied before the host's copy goes, also when copying fails.
  try {
    m_Path = path;
  } catch (...) {
    m_Host.HOST_Free(path);
    throw;
  }
  m_Host.HOST_Free(path);
}

CStreamError* CAPIStream::ErrorFromHost() {
  const char* text = m_Host.HOST_GetErrorText();
  if (m_Host.HOST_GetErrorType() == HOST_ERROR_STREAM)
    return new CStreamError(m_Host.HOST_GetStreamErrorCode(), m_Path, CStr(text));
  return new CStreamError(CStreamError::kGeneric, m_Path, CStr(text));
}

void CAPIStream::ThrowHostError() {
  CStreamError* error = ErrorFromHost();
  if (!error) ThrowMemoryError();
  throw error;
}

void CAPIStream::Require(BOOL succeeded) {
  if (!succeeded) ThrowHostError();
}

void CAPIStream::SetProperty(DWORD index, DWORD value) {
  Require(m_Host.HOST_StreamSetProperty(m_Stream, index, value));
  CStream::SetProperty(index, value);
}

CStr& CAPIStream::GetURL(CStr& url) {
  url = m_Path;
  return url;
}

DWORD CAPIStream::GetCapabilities() {
  DWORD flags = 0;
  Require(m_Host.HOST_StreamGetFlags(m_Stream, &flags));
  return flags ^ kSharingBits;
}

void CAPIStream::CountTransferred(DWORD bytes) {
  CriticalSectionLock lock(m_CountersLock);
  m_Transferred += bytes;
}

DWORD CAPIStream::TransferInChunks(Transfer transfer, BYTE* buffer, DWORD size) {
  DWORD total = 0;
  while (size > 0) {
    const DWORD chunk = std::min(size, kChunkSize);
    DWORD moved = 0;
    Require(transfer(m_Host, m_Stream, buffer, chunk, &moved));
    // A host that claims more than it was asked for is not believed: the
    // count would carry the buffer past its end.
    if (moved > chunk) ThrowError<CStreamError>(CStreamError::kGeneric, *this);
    total += moved;
    if (buffer) buffer += moved;
    size -= moved;
    CountTransferred(moved);
    if (moved < chunk) break;
  }
  return total;
}

DWORD CAPIStream::Read(void* buffer, DWORD size) {
  return TransferInChunks(&HostRead, static_cast<BYTE*>(buffer), size);
}

DWORD CAPIStream::ReadSome(void* buffer, DWORD size) {
  return TransferInChunks(&HostReadSome, static_cast<BYTE*>(buffer), size);
}

DWORD CAPIStream::Skip(DWORD count) { return TransferInChunks(&HostSkip, nullptr, count); }

DWORD CAPIStream::SkipSome(DWORD count) { return TransferInChunks(&HostSkipSome, nullptr, count); }

void CAPIStream::Write(const void*, DWORD) { ThrowError<CStreamError>(CStreamError::kNotPermitted, *this); }

void CAPIStream::Flush() {}

LONGLONG CAPIStream::Seek(LONGLONG offset, DWORD origin, HANDLE abortEvent) {
  DWORD position[2] = {0, 0};
  Require(m_Host.HOST_StreamSeek(m_Stream, Low(offset), High(offset), origin, position, abortEvent));
  return Join(position);
}

bool CAPIStream::SeekWouldWait(LONGLONG offset, DWORD origin) {
  BOOL wouldWait = FALSE;
  Require(m_Host.HOST_StreamCanSeek(m_Stream, Low(offset), High(offset), origin, &wouldWait));
  return wouldWait != FALSE;
}

LONGLONG CAPIStream::GetPosition() {
  DWORD position[2] = {0, 0};
  Require(m_Host.HOST_StreamGetPosition(m_Stream, position));
  return Join(position);
}

void CAPIStream::CacheLength(ULONGLONG length) {
  if (length == kUnknownLength) return;
  CriticalSectionLock lock(m_CountersLock);
  m_Length = length;
}

LONGLONG CAPIStream::GetLength(bool immediate, HANDLE abortEvent) {
  DWORD length[2] = {0, 0};
  Require(m_Host.HOST_StreamGetLength(m_Stream, immediate ? TRUE : FALSE, length,
                                      reinterpret_cast<uintptr_t>(abortEvent)));
  CacheLength(static_cast<ULONGLONG>(Join(length)));
  return Join(length);
}

DWORD CAPIStream::GetTransferRate() {
  DWORD rate = 0;
  Require(m_Host.HOST_StreamGetTransferRate(m_Stream, &rate));
  return rate;
}

bool CAPIStream::IsAtEnd() {
  BOOL atEnd = FALSE;
  Require(m_Host.HOST_StreamIsEOF(m_Stream, &atEnd));
  return atEnd != FALSE;
}

void CAPIStream::Shutdown() {}

void CAPIStream::Close() {
  Require(m_Host.HOST_StreamClose(m_Stream));
  delete this;
}

void CAPIStream::CloseNoThrow() {
  m_Host.HOST_StreamRelease(m_Stream);
  delete this;
}

CStreamError* CAPIStream::GetPendingError() {
  if (!m_Host.HOST_StreamCheckError(m_Stream)) return nullptr;
  if (m_Host.HOST_GetErrorType() == HOST_ERROR_STREAM) return ErrorFromHost();
  const CStr text = CStr::Format("%s (%s)", m_Host.HOST_GetErrorText() ? m_Host.HOST_GetErrorText() : "",
                                 m_Path.c_str());
  return new CStreamError(CStreamError::kGeneric, m_Path, text);
}

DWORD CAPIStream::GetContentType(CStr& type) {
  DWORD result = 0;
  char* text = nullptr;
  Require(m_Host.HOST_StreamGetContentType(m_Stream, &result, &text));
  try {
    type = result == 0 ? CStr(text) : CStr();
  } catch (...) {
    m_Host.HOST_Free(text);
    throw;
  }
  if (text) m_Host.HOST_Free(text);
  return result;
}

void CAPIStream::GetProgress(ULONGLONG& transferred, ULONGLONG& length) {
  {
    CriticalSectionLock lock(m_CountersLock);
    transferred = m_Transferred;
    length = m_Length;
  }
  if (length != kUnknownLength) return;
  DWORD words[2] = {0, 0};
  if (!m_Host.HOST_StreamGetLength(m_Stream, TRUE, words, 0)) return;
  length = static_cast<ULONGLONG>(Join(words));
  CacheLength(length);
}

void CAPIStream::ResetTransferCount() {
  CriticalSectionLock lock(m_CountersLock);
  m_Transferred = 0;
}
