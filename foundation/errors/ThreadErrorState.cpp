#include "foundation/errors/ThreadErrorState.h"

#include <cstring>
#include <iterator>
#include <new>

#include "foundation/containers/PointerArray.h"
#include "foundation/errors/LocalText.h"
#include "foundation/errors/MCIError.h"
#include "foundation/errors/WinMMError.h"
#include "foundation/kernel/DirectDrawError.h"
#include "foundation/kernel/DirectSoundError.h"
#include "foundation/kernel/Error.h"
#include "foundation/streams/StreamError.h"

namespace {

// Every record ever made, so that all of them are freed when the process
// ends; the list is touched only when a thread makes its record and then.
class ThreadErrorRecords {
 public:
  ThreadErrorRecords() : m_Slot(TlsAlloc()) { InitializeCriticalSection(&m_Lock); }

  ~ThreadErrorRecords() {
    EnterCriticalSection(&m_Lock);
    for (INT i = m_Records.GetCount() - 1; i >= 0; --i) {
      auto* record = static_cast<ThreadErrorState*>(m_Records[i]);
      delete[] record->text;
      delete record;
    }
    m_Records.SetSize(0);
    LeaveCriticalSection(&m_Lock);
    DeleteCriticalSection(&m_Lock);
    TlsFree(m_Slot);
  }

  ThreadErrorState* OfCallingThread() {
    auto* record = static_cast<ThreadErrorState*>(TlsGetValue(m_Slot));
    if (record) return record;
    record = new ThreadErrorState{THREAD_ERROR_NONE, 0, nullptr};
    TlsSetValue(m_Slot, record);
    EnterCriticalSection(&m_Lock);
    m_Records.SetAtGrow(m_Records.GetCount(), record);
    LeaveCriticalSection(&m_Lock);
    return record;
  }

 private:
  DWORD m_Slot;
  CRITICAL_SECTION m_Lock;
  CPointerArray m_Records;
};

ThreadErrorRecords& Records() {
  static ThreadErrorRecords records;
  return records;
}

// Made during static initialisation, like the library's other globals, so
// that it is gone only after everything built later.
[[maybe_unused]] const ThreadErrorRecords& kRecordsAtStart = Records();

struct MiscErrorRow {
  const char* key;
  const char* text;
};

// Indexed by code; "err" in the unknown text is the text users know.
constexpr MiscErrorRow kMiscRows[] = {
    {"MiscError.None", "no error occurred"},
    {"MiscError.InvalidParam", "invalid parameter"},
    {"MiscError.OutOfMemory", "out of memory"},
    {"MiscError.Aborted", "the operation has been aborted"},
    {"MiscError.Busy", "the system is busy and cannot execute the command at the moment"},
    {"MiscError.AccessDenied", "the access to the requested resource has been denied"},
    {"MiscError.UnsupportedFileFormat", "unsupported file format"},
    {"MiscError.CorruptedFile", "the file is corrupted"},
    {"MiscError.MixerControlUnavailable", "the specified mixer control is unavailable"},
};

const char* OrEmpty(const char* text) { return text ? text : ""; }

}  // namespace

char* DuplicateString(const char* text) {
  if (!text) return nullptr;
  const size_t size = std::strlen(text) + 1;
  char* copy = new (std::nothrow) char[size];
  if (copy) std::memcpy(copy, text, size);
  return copy;
}

ThreadErrorState* GetThreadErrorState() {
  const DWORD lastError = GetLastError();
  ThreadErrorState* record = Records().OfCallingThread();
  SetLastError(lastError);
  return record;
}

void SetThreadError(DWORD type, DWORD code, const char* text) {
  ThreadErrorState* record = GetThreadErrorState();
  char* copy = DuplicateString(text);  // before freeing: text may be the record's own
  delete[] record->text;
  record->type = type;
  record->code = code;
  record->text = copy;
}

void StoreThreadError(const CError* error) {
  if (!error) return;
  if (IsKindOf<CDirectDrawError>(error)) {
    SetThreadError(THREAD_ERROR_DIRECTDRAW, static_cast<const CDirectDrawError*>(error)->GetCode(), error->GetText());
  } else if (IsKindOf<CDirectSoundError>(error)) {
    SetThreadError(THREAD_ERROR_DIRECTSOUND, static_cast<const CDirectSoundError*>(error)->GetCode(),
                   error->GetText());
  } else if (IsKindOf<CStreamError>(error)) {
    SetThreadError(THREAD_ERROR_STREAM, static_cast<const CStreamError*>(error)->GetCode(), error->GetText());
  } else if (IsKindOf<CWinMMError>(error)) {
    SetThreadError(THREAD_ERROR_WINMM, static_cast<const CWinMMError*>(error)->GetCode(), error->GetText());
  } else if (IsKindOf<CMCIError>(error)) {
    SetThreadError(THREAD_ERROR_MCI, static_cast<const CMCIError*>(error)->GetCode(), error->GetText());
  } else {
    const CStr text = CStr::Format("%s: %s", error->GetCaption().c_str(), error->GetText().c_str());
    SetThreadError(THREAD_ERROR_GENERAL, 0, text);
  }
}

ThreadErrorState* CopyThreadError() {
  const ThreadErrorState* record = GetThreadErrorState();
  return new ThreadErrorState{record->type, record->code, DuplicateString(record->text)};
}

void FreeThreadErrorCopy(ThreadErrorState* copy) {
  if (!copy) return;
  delete[] copy->text;
  delete copy;
}

void WrapThreadErrorText(const char* prefix, const char* suffix) {
  ThreadErrorState* record = GetThreadErrorState();
  const CStr wrapped = CStr(OrEmpty(prefix)) + OrEmpty(record->text) + OrEmpty(suffix);
  SetThreadError(record->type, record->code, wrapped);
}

CStr GetMiscErrorText(DWORD code) {
  if (code < std::size(kMiscRows)) return LocalText(kMiscRows[code].key, kMiscRows[code].text);
  return LocalText("MiscError.Unknown", "an unknown err occurred");
}

// The keys differ from the classes' own caption keys in places; these are
// the texts that plug-ins and the log have always shown for each family.
CStr GetErrorTypeCaption(DWORD type) {
  switch (type) {
    case THREAD_ERROR_DIRECTDRAW: return LocalText("CDirectDrawError.Caption", "DirectDraw error");
    case THREAD_ERROR_DIRECTSOUND: return LocalText("CDirectSoundError.Caption", "DirectSound error");
    case THREAD_ERROR_STREAM: return LocalText("CStreamError.Caption", "Stream error");
    case THREAD_ERROR_WINMM: return LocalText("WinMMError.Caption", "Window Multimedia error");
    case THREAD_ERROR_MCI: return LocalText("MCIError.Caption", "MCI error");
    default: return CStr();
  }
}

CStr GetThreadErrorText() {
  const ThreadErrorState* record = GetThreadErrorState();
  const CStr caption = GetErrorTypeCaption(record->type);
  if (caption.IsEmpty()) return CStr(OrEmpty(record->text));
  return CStr::Format("%s: %s", caption.c_str(), OrEmpty(record->text));
}

// A type above 7 can only come from a plug-in that stored a family of its
// own; it is raised as a general error so that its text still reaches the
// user.
void RaiseThreadError() {
  const ThreadErrorState* record = GetThreadErrorState();
  const CStr text(OrEmpty(record->text));
  switch (record->type) {
    case THREAD_ERROR_NONE:
      ThrowError<CError>(LocalText("NoError.Caption", "No Error"), LocalText("NoError.Text", "no error occurred"));
    case THREAD_ERROR_DIRECTDRAW:
      ThrowError<CDirectDrawError>(LocalText("CDirectDrawError.Caption", "DirectDraw error"), text, record->code);
    case THREAD_ERROR_DIRECTSOUND:
      ThrowError<CDirectSoundError>(LocalText("DirectSoundError.Caption", "DirectSound error"), text,
                                    record->code);
    case THREAD_ERROR_STREAM:
      ThrowError<CStreamError>(record->code, nullptr, text);
    case THREAD_ERROR_WINMM:
      ThrowError<CWinMMError>(record->code, text);
    case THREAD_ERROR_MCI:
      ThrowError<CMCIError>(record->code, text);
    case THREAD_ERROR_MISC:
      ThrowError<CError>(LocalText("MiscError.Cpaiton", "Error"), text);
    default:
      ThrowError<CError>(LocalText("GenericError.Caption", "Error"), text);
  }
}
