#include "foundation/streams/MemoryStream.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "foundation/kernel/MemoryError.h"
#include "foundation/streams/StreamError.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CMemoryStream, CNonFlowingStream)

namespace {

// Positions are 32-bit counts; a block never reaches 2 GiB.
constexpr DWORD kMaxCapacity = 0x7FFFFFFF;

}  // namespace

CMemoryStream::~CMemoryStream() { FreeBlock(); }

void CMemoryStream::Open(BYTE* block, DWORD length, DWORD flags, DWORD growStep, bool deleteOnClose,
                         const char* contentType) {
  FreeBlock();
  m_Start = block;
  m_BlockEnd = m_DataEnd = block ? block + length : nullptr;
  m_Position = block;
  m_Capabilities = (flags & (kStreamRead | kStreamWrite | kStreamSeek)) | kStreamBuffered;
  m_GrowStep = growStep;
  m_DeleteOnClose = deleteOnClose;
  m_ShutDown = false;
  m_Open = true;
  m_ContentType = contentType;
}

void CMemoryStream::OpenCopy(const void* bytes, DWORD length, DWORD flags) {
  // Never a null block, so that an empty copy is still an open stream of
  // length 0.
  BYTE* block = new (std::nothrow) BYTE[length ? length : 1];
  if (!block) ThrowMemoryError();
  if (length) std::memcpy(block, bytes, length);
  Open(block, length, flags, 0, false);
}

void CMemoryStream::DetachBuffer() {
  m_Start = m_BlockEnd = m_DataEnd = m_Position = nullptr;
  m_Open = false;
}

void CMemoryStream::FreeBlock() {
  delete[] m_Start;
  m_Start = m_BlockEnd = m_DataEnd = m_Position = nullptr;
}

void CMemoryStream::ThrowIfShutDown() {
  if (m_ShutDown) ThrowError<CStreamError>(CStreamError::kShutdown, *this);
}

void CMemoryStream::Require(DWORD capability) {
  ThrowIfShutDown();
  if (!(m_Capabilities & capability)) ThrowError<CStreamError>(CStreamError::kNotPermitted);
}

CStr& CMemoryStream::GetURL(CStr& url) {
  url = "memfile://";
  return url;
}

DWORD CMemoryStream::Read(void* buffer, DWORD size) {
  Require(kStreamRead);
  const DWORD count = std::min<DWORD>(size, static_cast<DWORD>(m_DataEnd - m_Position));
  if (count) std::memcpy(buffer, m_Position, count);
  m_Position += count;
  return count;
}

DWORD CMemoryStream::Skip(DWORD count) {
  Require(kStreamRead);
  const DWORD skipped = std::min<DWORD>(count, static_cast<DWORD>(m_DataEnd - m_Position));
  m_Position += skipped;
  return skipped;
}

void CMemoryStream::Write(const void* buffer, DWORD size) {
  Require(kStreamWrite);
  const DWORD room = static_cast<DWORD>(m_BlockEnd - m_Position);
  if (size > room) {
    if (m_GrowStep == 0) {
      // A fixed block keeps what fits, then reports that it is full.
      if (room) std::memcpy(m_Position, buffer, room);
      m_Position += room;
      m_DataEnd = std::max(m_DataEnd, m_Position);
      ThrowError<CStreamError>(CStreamError::kNotEnoughFreeSpace);
    }
    Grow(size - room);
  }
  if (size) std::memcpy(m_Position, buffer, size);
  m_Position += size;
  m_DataEnd = std::max(m_DataEnd, m_Position);
}

// Adds at least `needed` bytes of capacity, at least a grow step.
void CMemoryStream::Grow(DWORD needed) {
  const DWORD capacity = static_cast<DWORD>(m_BlockEnd - m_Start);
  const unsigned long long wanted = static_cast<unsigned long long>(capacity) + std::max(needed, m_GrowStep);
  if (wanted > kMaxCapacity) ThrowError<CStreamError>(CStreamError::kNotEnoughFreeSpace);
  BYTE* block = new (std::nothrow) BYTE[wanted];
  if (!block) ThrowMemoryError();
  const size_t dataLength = static_cast<size_t>(m_DataEnd - m_Start);
  const size_t position = static_cast<size_t>(m_Position - m_Start);
  if (dataLength) std::memcpy(block, m_Start, dataLength);
  delete[] m_Start;
  m_Start = block;
  m_BlockEnd = block + wanted;
  m_DataEnd = block + dataLength;
  m_Position = block + position;
}

void CMemoryStream::Flush() { ThrowIfShutDown(); }

// Every target is checked as a 64-bit value: an offset beyond 4 GiB must
// not wrap into the block.
LONGLONG CMemoryStream::Seek(LONGLONG offset, DWORD origin, HANDLE) {
  Require(kStreamSeek);
  const LONGLONG length = m_DataEnd - m_Start;
  LONGLONG target = 0;
  switch (origin) {
    case kSeekFromStart:
      target = offset;
      break;
    case kSeekFromCurrent:
      target = (m_Position - m_Start) + offset;
      break;
    case kSeekFromEnd:
      if (offset > 0) ThrowError<CStreamError>(CStreamError::kInvalidParam);
      target = length + offset;
      break;
    default:
      ThrowError<CStreamError>(CStreamError::kInvalidParam);
  }
  if (target < 0 || target > length) ThrowError<CStreamError>(CStreamError::kInvalidParam);
  m_Position = m_Start + target;
  return target;
}

bool CMemoryStream::SeekWouldWait(LONGLONG, DWORD) {
  ThrowIfShutDown();
  return false;
}

LONGLONG CMemoryStream::GetPosition() {
  ThrowIfShutDown();
  return m_Position - m_Start;
}

LONGLONG CMemoryStream::GetLength(bool, HANDLE) {
  ThrowIfShutDown();
  return m_DataEnd - m_Start;
}

DWORD CMemoryStream::GetTransferRate() {
  ThrowIfShutDown();
  return kTransferRate;
}

bool CMemoryStream::IsAtEnd() {
  ThrowIfShutDown();
  return m_Position == m_DataEnd;
}

void CMemoryStream::Close() {
  FreeBlock();
  m_Open = false;
  if (m_DeleteOnClose) delete this;
}

// Close itself never throws; a derived stream's Close may.
void CMemoryStream::CloseNoThrow() {
  try {
    Close();
  } catch (CError* error) {
    DisposeError(error);
  }
}

DWORD CMemoryStream::GetContentType(CStr& type) {
  if (m_ContentType.IsEmpty()) return 1;
  type = m_ContentType;
  return 0;
}
