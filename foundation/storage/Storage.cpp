#include "foundation/storage/Storage.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string>
#include <type_traits>

#include "foundation/kernel/MemoryError.h"
#include "foundation/storage/StorageError.h"
#include "foundation/streams/Stream.h"

CStorage::~CStorage() { CloseNoThrow(); }

void CStorage::Open(CStream* stream, DWORD direction, BYTE flag, DWORD bufferSize) {
  if (m_Stream) Close();
  const DWORD capacity = std::max(bufferSize, kMinBufferSize);
  m_Buffer.reset(new (std::nothrow) BYTE[capacity]);
  if (!m_Buffer) ThrowMemoryError();
  m_Stream = stream;
  m_Loading = direction == kLoad;
  m_Flag = flag;
  m_Capacity = capacity;
  m_Position = 0;
  m_DataEnd = m_Loading ? 0 : capacity;
  if (!m_Loading) return;
  try {
    m_Stream->Read(m_Buffer.get(), 0);
  } catch (...) {
    Unbind();
    throw;
  }
}

void CStorage::Unbind() noexcept {
  m_Stream = nullptr;
  m_Buffer.reset();
  m_Capacity = m_Position = m_DataEnd = 0;
}

void CStorage::Close() {
  if (!m_Stream) return;
  if (m_Loading) {
    Unbind();
    return;
  }
  try {
    Flush();
  } catch (...) {
    Unbind();
    throw;
  }
  Unbind();
}

void CStorage::CloseNoThrow() noexcept {
  try {
    Close();
  } catch (CError* error) {
    DisposeError(error);
  } catch (...) {
  }
}

void CStorage::FillBuffer(DWORD needed) {
  const DWORD unread = m_DataEnd - m_Position;
  if (unread && m_Position) std::memmove(m_Buffer.get(), m_Buffer.get() + m_Position, unread);
  m_Position = 0;
  m_DataEnd = unread;
  m_DataEnd += m_Stream->Read(m_Buffer.get() + unread, m_Capacity - unread);
  if (m_DataEnd < needed) ThrowError<CStorageError>(CStorageError::kEndOfStream);
}

DWORD CStorage::Read(void* buffer, DWORD size) {
  auto* out = static_cast<BYTE*>(buffer);
  const DWORD buffered = std::min(size, m_DataEnd - m_Position);
  if (buffered) std::memcpy(out, m_Buffer.get() + m_Position, buffered);
  m_Position += buffered;
  DWORD delivered = buffered;
  const DWORD remaining = size - buffered;
  if (remaining == 0) return delivered;
  // The buffer is empty now. A large rest goes straight into the caller's
  // block; a small one comes through a refill, which also reads ahead.
  if (remaining >= m_Capacity) return delivered + m_Stream->Read(out + delivered, remaining);
  FillBuffer(0);
  const DWORD more = std::min(remaining, m_DataEnd - m_Position);
  std::memcpy(out + delivered, m_Buffer.get() + m_Position, more);
  m_Position += more;
  return delivered + more;
}

void CStorage::Write(const void* buffer, DWORD size) {
  if (size <= m_Capacity - m_Position) {
    if (size) std::memcpy(m_Buffer.get() + m_Position, buffer, size);
    m_Position += size;
    return;
  }
  Flush();
  if (size < m_Capacity) {
    std::memcpy(m_Buffer.get(), buffer, size);
    m_Position = size;
    return;
  }
  m_Stream->Write(buffer, size);
}

void CStorage::Flush() {
  if (m_Loading || !m_Stream || m_Position == 0) return;
  m_Stream->Write(m_Buffer.get(), m_Position);
  m_Position = 0;
}

template <class T>
void CStorage::ReadLittleEndian(T& value) {
  if (m_DataEnd - m_Position < sizeof(T)) FillBuffer(sizeof(T));
  using Unsigned = std::make_unsigned_t<T>;
  Unsigned bits = 0;
  for (size_t i = 0; i < sizeof(T); ++i) bits |= static_cast<Unsigned>(m_Buffer[m_Position + i]) << (8 * i);
  m_Position += sizeof(T);
  value = static_cast<T>(bits);
}

template <class T>
void CStorage::WriteLittleEndian(T value) {
  if (m_Capacity - m_Position < sizeof(T)) Flush();
  const auto bits = static_cast<std::make_unsigned_t<T>>(value);
  for (size_t i = 0; i < sizeof(T); ++i) m_Buffer[m_Position + i] = static_cast<BYTE>(bits >> (8 * i));
  m_Position += sizeof(T);
}

void CStorage::ReadValue(BYTE& value) { ReadLittleEndian(value); }
void CStorage::ReadValue(WORD& value) { ReadLittleEndian(value); }
void CStorage::ReadValue(SHORT& value) { ReadLittleEndian(value); }
void CStorage::ReadValue(DWORD& value) { ReadLittleEndian(value); }
void CStorage::ReadValue(INT& value) { ReadLittleEndian(value); }
void CStorage::WriteValue(BYTE value) { WriteLittleEndian(value); }
void CStorage::WriteValue(WORD value) { WriteLittleEndian(value); }
void CStorage::WriteValue(SHORT value) { WriteLittleEndian(value); }
void CStorage::WriteValue(DWORD value) { WriteLittleEndian(value); }
void CStorage::WriteValue(INT value) { WriteLittleEndian(value); }

void CStorage::ReadString(CStr& text) {
  BYTE length[2];
  if (Read(length, 2) < 2) ThrowError<CStorageError>(CStorageError::kEndOfStream);
  const DWORD wanted = length[0] | (static_cast<DWORD>(length[1]) << 8);
  std::string bytes(wanted, '\0');
  const DWORD got = Read(bytes.data(), wanted);
  text = CStr(bytes.data(), got);
  if (got < wanted) ThrowError<CStorageError>(CStorageError::kEndOfStream);
}

void CStorage::WriteString(const char* text) {
  const size_t length = text ? std::strlen(text) : 0;
  if (length > kMaxTextLength) ThrowError<CStorageError>(CStorageError::kTextTooLong);
  WriteValue(static_cast<WORD>(length));
  Write(text, static_cast<DWORD>(length));
}
