#include "foundation/log/LogFile.h"

#include <fcntl.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "foundation/log/CrlfText.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CLogFile, CLog)

namespace {

// Native form of a name for open(2): the platform's names may use '\'.
void PrepareCrashPath(const char* name, char* path, size_t capacity) {
  const size_t length = std::strlen(name);
  if (length >= capacity) {
    path[0] = '\0';
    return;
  }
  for (size_t i = 0; i <= length; ++i) path[i] = name[i] == '\\' ? '/' : name[i];
}

void WriteAllToDescriptor(int fd, const char* bytes, size_t length) {
  while (length > 0) {
    const ssize_t written = ::write(fd, bytes, length);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return;
    bytes += written;
    length -= static_cast<size_t>(written);
  }
}

// Enough for a writer in another thread to finish its group; a crash
// report is written after that even if the lock is still held elsewhere.
constexpr int kLockAttempts = 200;
constexpr long kLockPauseNs = 5 * 1000 * 1000;

}  // namespace

CLogFile::CLogFile() { InitializeCriticalSection(&m_Lock); }

CLogFile::~CLogFile() {
  ClearFileName();
  DeleteCriticalSection(&m_Lock);
}

void CLogFile::SetFileName(const char* name) {
  ClearFileName();
  EnterCriticalSection(&m_Lock);
  m_FileName = name;
  PrepareCrashPath(m_FileName.c_str(), m_CrashPath, sizeof m_CrashPath);
  LeaveCriticalSection(&m_Lock);
}

void CLogFile::ClearFileName() {
  EnterCriticalSection(&m_Lock);
  while (m_Nesting > 0) Release();
  m_FileName = CStr();
  m_CrashPath[0] = '\0';
  LeaveCriticalSection(&m_Lock);
}

bool CLogFile::HasFileName() {
  EnterCriticalSection(&m_Lock);
  const bool named = !m_FileName.IsEmpty();
  LeaveCriticalSection(&m_Lock);
  return named;
}

bool CLogFile::OpenForAppend() {
  EnterCriticalSection(&m_Lock);
  if (m_File) {
    ++m_Nesting;
    return true;
  }
  if (!m_FileName.IsEmpty()) {
    HANDLE file = CreateFileA(m_FileName, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      LARGE_INTEGER start{};
      if (SetFilePointerEx(file, start, nullptr, FILE_END)) {
        m_File = file;
        ++m_Nesting;
        return true;
      }
      CloseHandle(file);
    }
  }
  m_File = nullptr;
  LeaveCriticalSection(&m_Lock);
  return false;
}

void CLogFile::Release() {
  EnterCriticalSection(&m_Lock);
  if (m_Nesting > 0) {
    if (--m_Nesting == 0) {
      CloseHandle(m_File);
      m_File = nullptr;
    }
    LeaveCriticalSection(&m_Lock);  // the one kept by OpenForAppend
  }
  LeaveCriticalSection(&m_Lock);
}

void CLogFile::WriteBytes(const char* bytes, size_t length) {
  DWORD written = 0;
  WriteFile(m_File, bytes, static_cast<DWORD>(length), &written, nullptr);
}

void CLogFile::Write(const char* text, DWORD /*severity*/) {
  if (!text || !OpenForAppend()) return;
  WriteWithCrlf(text, [this](const char* bytes, size_t length) { WriteBytes(bytes, length); });
  Release();
}

// Runs inside the crash filter, in a signal handler: only open(2),
// write(2), close(2) and a lock attempt that never blocks. The report is
// appended as one group unless another thread keeps the lock too long.
void CLogFile::WriteReportText(const char* text, DWORD /*severity*/) {
  bool locked = false;
  for (int attempt = 0; attempt < kLockAttempts; ++attempt) {
    locked = TryEnterCriticalSection(&m_Lock);
    if (locked) break;
    const timespec pause{0, kLockPauseNs};
    nanosleep(&pause, nullptr);
  }
  if (m_CrashPath[0]) {
    const int fd = ::open(m_CrashPath, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd >= 0) {
      WriteWithCrlf(text, [fd](const char* bytes, size_t length) { WriteAllToDescriptor(fd, bytes, length); });
      ::close(fd);
    }
  }
  if (locked) LeaveCriticalSection(&m_Lock);
}
