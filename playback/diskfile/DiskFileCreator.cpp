#include "playback/diskfile/DiskFileCreator.h"

#include <strings.h>

#include <cstring>
#include <memory>

#include "foundation/errors/LocalText.h"
#include "foundation/errors/ThreadErrorState.h"
#include "foundation/kernel/Error.h"
#include "playback/diskfile/TempFiles.h"
#include "pluginhost/hostapi/HostApi.h"

TWL_IMPLEMENT_CLASS(CDiskFileCreator, CTypedObject)
TWL_IMPLEMENT_CREATABLE_CLASS(CInstantDiskFileCreator, CDiskFileCreator)

namespace {

constexpr DWORD kCopyBlock = 0x4000;
constexpr DWORD kPollMilliseconds = 5;
constexpr char kFileScheme[] = "file://";
constexpr size_t kFileSchemeLength = sizeof kFileScheme - 1;

bool StartsWithIgnoringCase(const char* text, const char* start) {
  return strncasecmp(text, start, std::strlen(start)) == 0;
}

bool EndsWithIgnoringCase(const char* text, const char* end) {
  const size_t textLength = std::strlen(text);
  const size_t endLength = std::strlen(end);
  return endLength <= textLength && strcasecmp(text + textLength - endLength, end) == 0;
}

// Whether the local file can be used as it is.
bool MatchesName(const char* path, const char* prefix, const char* suffix, DWORD flags) {
  if (!(flags & HOST_FILECREATOR_MATCH_NAME)) return true;
  if (!StartsWithIgnoringCase(path, prefix)) return false;
  return EndsWithIgnoringCase(path + std::strlen(prefix), suffix);
}

bool IsSet(HANDLE event) { return event && WaitForSingleObject(event, 0) == WAIT_OBJECT_0; }

bool FailWithText(const char* key, const char* text) {
  SetThreadError(THREAD_ERROR_GENERAL, 0, LocalText(key, text));
  return false;
}

bool WriteAll(HANDLE file, const void* bytes, DWORD count) {
  DWORD written = 0;
  return WriteFile(file, bytes, count, &written, nullptr) && written == count;
}

// Copies the stream into the file through the host API, block by block.
bool CopyStream(const HostApiTable& host, HOST_STREAM stream, HANDLE file, HANDLE abortEvent) {
  std::unique_ptr<char[]> buffer(new (std::nothrow) char[kCopyBlock]);
  if (!buffer) {
    SetThreadError(THREAD_ERROR_MISC, MISC_ERROR_OUT_OF_MEMORY, GetMiscErrorText(MISC_ERROR_OUT_OF_MEMORY));
    return false;
  }
  for (;;) {
    if (IsSet(abortEvent)) return FailWithText("CDiskFileCreator.CopyAborted", "the copy operation has been aborted.");
    DWORD got = 0;
    if (!host.HOST_StreamReadSome(stream, buffer.get(), kCopyBlock, &got)) return false;
    if (got > kCopyBlock || !WriteAll(file, buffer.get(), got)) {
      return FailWithText("CDiskFileCreator.ErrorWritingToTempFile", "error writing to temporary file");
    }
    if (got == kCopyBlock) continue;
    BOOL atEnd = FALSE;
    if (!host.HOST_StreamIsEOF(stream, &atEnd)) return false;
    if (atEnd) return true;
    Sleep(kPollMilliseconds);
  }
}

bool CopyToTempFile(CStr& fileName, const char* url, const char* prefix, const char* suffix, HANDLE abortEvent,
                    PLUGIN_HANDLE owner) {
  HANDLE file = INVALID_HANDLE_VALUE;
  CStr name;
  try {
    name = CreateTempFile(prefix, suffix, &file);
  } catch (CError* error) {
    StoreThreadError(error);
    DisposeError(error);
    return false;
  }
  const HostApiTable& host = *GetHostApiTable();
  HOST_STREAM stream = nullptr;
  bool copied = false;
  if (host.HOST_OpenStream(url, HOST_STREAM_READ, 0, owner, &stream)) {
    copied = CopyStream(host, stream, file, abortEvent);
    host.HOST_StreamRelease(stream);
  }
  CloseHandle(file);
  if (!copied) {
    DeleteFileA(name);
    return false;
  }
  fileName = name;
  return true;
}

}  // namespace

bool CreateDiskFile(CStr& fileName, bool& temporary, const char* url, const char* prefix, const char* suffix,
                    DWORD flags, HANDLE abortEvent, PLUGIN_HANDLE owner) {
  if (!prefix) prefix = "";
  if (!suffix) suffix = "";
  if (StartsWithIgnoringCase(url, kFileScheme)) {
    const char* path = url + kFileSchemeLength;
    if (MatchesName(path, prefix, suffix, flags)) {
      fileName = path;
      temporary = false;
      return true;
    }
  }
  if (!CopyToTempFile(fileName, url, prefix, suffix, abortEvent, owner)) return false;
  temporary = true;
  return true;
}

void ReleaseDiskFile(CStr& fileName, bool& temporary) {
  if (!fileName.IsEmpty() && temporary) DeleteFileA(fileName);
  fileName = CStr();
  temporary = false;
}

bool CopyDiskFileName(const CStr& fileName, char** copy) {
  if (fileName.IsEmpty()) {
    SetThreadError(THREAD_ERROR_MISC, MISC_ERROR_ACCESS_DENIED, GetMiscErrorText(MISC_ERROR_ACCESS_DENIED));
    return false;
  }
  *copy = HostAllocString(fileName);
  if (*copy) return true;
  SetThreadError(THREAD_ERROR_MISC, MISC_ERROR_OUT_OF_MEMORY, GetMiscErrorText(MISC_ERROR_OUT_OF_MEMORY));
  return false;
}

bool CInstantDiskFileCreator::Create(const char* url, const char* prefix, const char* suffix, DWORD flags,
                                     HANDLE abortEvent, PLUGIN_HANDLE owner) {
  CleanUp();
  if (CreateDiskFile(m_FileName, m_Temporary, url, prefix, suffix, flags, abortEvent, owner)) return true;
  CleanUp();
  return false;
}

void CInstantDiskFileCreator::CleanUp() { ReleaseDiskFile(m_FileName, m_Temporary); }

bool CInstantDiskFileCreator::GetFileName(char** fileName) { return CopyDiskFileName(m_FileName, fileName); }
