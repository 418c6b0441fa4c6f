#include "foundation/streams/DiskFileStream.h"

#include <strings.h>

#include <algorithm>
#include <cstring>

#include "foundation/errors/LocalText.h"
#include "foundation/kernel/Placeholder.h"
#include "foundation/streams/DriveTransferRate.h"
#include "foundation/streams/StreamError.h"
#include "foundation/streams/WindowsErrorMap.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CDiskFileStream, CNonFlowingStream)

namespace {

constexpr char kFileScheme[] = "file://";
constexpr size_t kFileSchemeLength = sizeof kFileScheme - 1;

// The CreateFileA disposition of a creation mode; 0 for an invalid mode.
DWORD DispositionOf(DWORD flags) {
  switch (flags & kStreamCreationMask) {
    case kStreamOpenExisting:
    case kStreamOpenExistingToo:
      return OPEN_EXISTING;
    case kStreamCreateNew:
      return CREATE_NEW;
    case kStreamCreateAlways:
      return CREATE_ALWAYS;
    case kStreamOpenAlways:
      return OPEN_ALWAYS;
    default:
      return 0;
  }
}

// A disk file stream seeks and knows its length; a named pipe or a device
// does neither and may never answer (a pipe nobody writes) or never end
// (/dev/zero), which would hold the reader, and the program's exit, for
// ever. Nothing is read from one.
void RefuseWhatIsNoFile(const char* path) {
  const DWORD attributes = GetFileAttributesA(path);
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DEVICE)) return;
  const CStr text = ReplacePlaceholder(
      LocalText("CDiskFileStream.NotAFile", "'%PATH%' is no file but a pipe or a device: it is not read."),
      {"%PATH%", path});
  ThrowError<CStreamError>(CStreamError::kGenericOpen, path, text);
}

}  // namespace

const char* CDiskFileStream::PathOfURL(const char* url) {
  if (!url) return nullptr;
  if (strncasecmp(url, kFileScheme, kFileSchemeLength) == 0) return url + kFileSchemeLength;
  if (std::strstr(url, "://")) return nullptr;
  return url;
}

CDiskFileStream::~CDiskFileStream() {
  if (!m_File) return;
  m_DeleteOnClose = false;
  Close();
}

void CDiskFileStream::Open(const char* url, DWORD flags, bool deleteOnClose) {
  if (m_File) {
    m_DeleteOnClose = false;
    Close();
  }
  m_URL = url;
  const char* path = PathOfURL(m_URL.c_str());
  if (!path) ThrowError<CStreamError>(CStreamError::kUnsupportedProtocol, m_URL.c_str());
  m_Capabilities = (flags & (kStreamShareRead | kStreamShareWrite | kStreamRead | kStreamWrite)) | kStreamSeek |
                   kStreamLengthKnown;
  const DWORD disposition = DispositionOf(flags);
  if (disposition == 0) ThrowError<CStreamError>(CStreamError::kInvalidParam, m_URL.c_str());
  m_ShutDown = false;
  if (flags & kStreamRead) RefuseWhatIsNoFile(path);
  const DWORD access = ((flags & kStreamRead) ? GENERIC_READ : 0) | ((flags & kStreamWrite) ? GENERIC_WRITE : 0);
  const DWORD share =
      ((flags & kStreamShareRead) ? FILE_SHARE_READ : 0) | ((flags & kStreamShareWrite) ? FILE_SHARE_WRITE : 0);
  HANDLE file = CreateFileA(path, access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    m_File = nullptr;
    ThrowLastError();
  }
  m_File = file;
  m_TransferRate = GetDriveTransferRate(path);
  m_DeleteOnClose = deleteOnClose;
}

void CDiskFileStream::ThrowIfShutDown() {
  if (m_ShutDown) ThrowError<CStreamError>(CStreamError::kShutdown, *this);
}

void CDiskFileStream::ThrowLastError() { ThrowError<CStreamError>(MapWindowsError(GetLastError()), *this); }

CStr& CDiskFileStream::GetURL(CStr& url) {
  url = m_URL;
  return url;
}

DWORD CDiskFileStream::Read(void* buffer, DWORD size) {
  ThrowIfShutDown();
  DWORD count = 0;
  if (!ReadFile(m_File, buffer, size, &count, nullptr)) ThrowLastError();
  return count;
}

void CDiskFileStream::Write(const void* buffer, DWORD size) {
  ThrowIfShutDown();
  DWORD written = 0;
  if (!WriteFile(m_File, buffer, size, &written, nullptr)) ThrowLastError();
  // A short write that reports success must not pass as a whole one.
  if (written != size) ThrowError<CStreamError>(CStreamError::kGenericWrite, *this);
}

void CDiskFileStream::Flush() {
  ThrowIfShutDown();
  if (!FlushFileBuffers(m_File)) ThrowLastError();
}

LONGLONG CDiskFileStream::MoveFilePointer(LONGLONG distance, DWORD method) {
  LARGE_INTEGER move;
  move.QuadPart = distance;
  LARGE_INTEGER position;
  position.QuadPart = 0;
  if (!SetFilePointerEx(m_File, move, &position, method)) ThrowLastError();
  return position.QuadPart;
}

// After a seek past the end the position lies beyond the length: there is
// nothing to skip, and the distance must not turn negative.
DWORD CDiskFileStream::Skip(DWORD count) {
  ThrowIfShutDown();
  if (count == 0) return 0;
  const LONGLONG position = GetPosition();
  const LONGLONG left = std::max<LONGLONG>(GetLength(true, nullptr) - position, 0);
  const LONGLONG distance = std::min<LONGLONG>(count, left);
  if (distance == 0) return 0;
  if (MoveFilePointer(distance, FILE_CURRENT) != position + distance)
    ThrowError<CStreamError>(CStreamError::kGenericSeek, *this);
  return static_cast<DWORD>(distance);
}

LONGLONG CDiskFileStream::Seek(LONGLONG offset, DWORD origin, HANDLE) {
  ThrowIfShutDown();
  switch (origin) {
    case kSeekFromStart:
      return MoveFilePointer(offset, FILE_BEGIN);
    case kSeekFromCurrent:
      return MoveFilePointer(offset, FILE_CURRENT);
    case kSeekFromEnd:
      return MoveFilePointer(offset, FILE_END);
    default:
      ThrowError<CStreamError>(CStreamError::kInvalidParam, *this);
  }
}

bool CDiskFileStream::SeekWouldWait(LONGLONG, DWORD) {
  ThrowIfShutDown();
  return false;
}

LONGLONG CDiskFileStream::GetPosition() {
  ThrowIfShutDown();
  return MoveFilePointer(0, FILE_CURRENT);
}

LONGLONG CDiskFileStream::GetLength(bool, HANDLE) {
  ThrowIfShutDown();
  LARGE_INTEGER size;
  size.QuadPart = 0;
  if (!GetFileSizeEx(m_File, &size)) ThrowLastError();
  return size.QuadPart;
}

DWORD CDiskFileStream::GetTransferRate() {
  ThrowIfShutDown();
  return m_TransferRate;
}

bool CDiskFileStream::IsAtEnd() {
  ThrowIfShutDown();
  return GetLength(true, nullptr) == GetPosition();
}

void CDiskFileStream::Close() {
  if (m_File) CloseHandle(m_File);
  m_File = nullptr;
  if (m_DeleteOnClose) delete this;
}
