// CUpdateChecker: fetches the update file of the running version on a
// worker thread of its own (at most 10000 bytes; a longer file is never
// parsed) and posts the result (wParam: found 0 or 1, lParam: the checker)
// to a window. A fetch that cannot open its address only marks the check
// done. Stop shuts the stream down before it waits, so a server that stops
// answering cannot hold the program up.
//
// Threading: Start, Stop and the destructor on one thread (the
// user-interface thread); the worker touches only the checker. The flags
// are read and written under the checker's lock; the texts and the version
// are written before done is set, and read only once it is.
#pragma once

#include <windows.h>

#include "app/update/UpdateFile.h"
#include "foundation/kernel/CriticalSection.h"
#include "foundation/kernel/Str.h"
#include "foundation/kernel/TypedObject.h"

class CStream;

class CUpdateChecker : public CTypedObject {
  TWL_DECLARE_CLASS(CUpdateChecker)
 public:
  static constexpr DWORD kMaxFileSize = 10000;

  CUpdateChecker() = default;
  CUpdateChecker(const CUpdateChecker&) = delete;
  CUpdateChecker& operator=(const CUpdateChecker&) = delete;
  ~CUpdateChecker() override;

  // Stops a running check, then starts one. Throws a CError when the
  // thread cannot be started.
  void Start(const char* url, HWND window, UINT message);
  void Stop();

  bool IsDone();
  bool IsUpdateAvailable();
  DWORD GetVersion();
  CStr GetDescription();
  CStr GetUpdatePageUrl();

  // "<host>/internet/update/0014/v<major><minor, two digits>_e.upd".
  static CStr MakeUpdateUrl(const char* host, int major, int minor);

 private:
  static DWORD WINAPI ThreadMain(LPVOID self);
  void Fetch();
  bool StopRequested();

  CStr m_Url;
  HWND m_Window = nullptr;
  UINT m_Message = 0;
  HANDLE m_Thread = nullptr;
  CriticalSection m_Lock;
  bool m_Done = false;
  bool m_Found = false;
  bool m_Stop = false;
  // The open stream, so that Stop can shut it down; under the lock.
  CStream* m_Stream = nullptr;
  UpdateAnnouncement m_Announcement;
};

// "LastSkippedVersion" of the settings key: the version the user chose to
// skip; 0 when absent or unreadable.
DWORD ReadLastSkippedVersion();
