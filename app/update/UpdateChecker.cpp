#include "app/update/UpdateChecker.h"

#include <string>
#include <vector>

#include "foundation/appcore/RegistryValues.h"
#include "foundation/appcore/SettingsKey.h"
#include "foundation/errors/LocalText.h"
#include "foundation/filesystem/FileSystem.h"
#include "foundation/kernel/Error.h"
#include "foundation/kernel/Threads.h"
#include "foundation/streams/Stream.h"

TWL_IMPLEMENT_CLASS(CUpdateChecker, CTypedObject)

namespace {

// Read, existing files too, shared for reading.
constexpr DWORD kOpenFlags = 0x140001;
constexpr DWORD kPollMilliseconds = 50;

}  // namespace

CUpdateChecker::~CUpdateChecker() { Stop(); }

CStr CUpdateChecker::MakeUpdateUrl(const char* host, int major, int minor) {
  return CStr::Format("%s/internet/update/0014/v%d%02d_e.upd", host ? host : "", major, minor);
}

void CUpdateChecker::Start(const char* url, HWND window, UINT message) {
  Stop();
  m_Url = url ? url : "";
  m_Window = window;
  m_Message = message;
  {
    CriticalSectionLock lock(m_Lock);
    m_Done = false;
    m_Found = false;
  }
  DWORD id = 0;
  m_Thread = BeginThread(nullptr, 0, &CUpdateChecker::ThreadMain, this, 0, &id);
  if (!m_Thread) {
    ThrowError<CError>(LocalText("CreateThreadFailed.Caption", "Thread error."),
                       LocalText("CreateThreadFailed.Text", "Error creating thread."));
  }
}

void CUpdateChecker::Stop() {
  if (!m_Thread) return;
  {
    CriticalSectionLock lock(m_Lock);
    m_Stop = true;
    if (m_Stream) m_Stream->Shutdown();
  }
  WaitForSingleObject(m_Thread, INFINITE);
  CloseHandle(m_Thread);
  m_Thread = nullptr;
  CriticalSectionLock lock(m_Lock);
  m_Stop = false;
}

bool CUpdateChecker::IsDone() {
  CriticalSectionLock lock(m_Lock);
  return m_Done;
}

bool CUpdateChecker::IsUpdateAvailable() {
  CriticalSectionLock lock(m_Lock);
  return m_Done && m_Found;
}

DWORD CUpdateChecker::GetVersion() { return IsUpdateAvailable() ? m_Announcement.version : 0; }

CStr CUpdateChecker::GetDescription() {
  return IsUpdateAvailable() ? CStr(m_Announcement.description.c_str()) : CStr();
}

CStr CUpdateChecker::GetUpdatePageUrl() { return IsUpdateAvailable() ? CStr(m_Announcement.page.c_str()) : CStr(); }

DWORD WINAPI CUpdateChecker::ThreadMain(LPVOID self) {
  static_cast<CUpdateChecker*>(self)->Fetch();
  return 0;
}

bool CUpdateChecker::StopRequested() {
  CriticalSectionLock lock(m_Lock);
  return m_Stop;
}

void CUpdateChecker::Fetch() {
  std::vector<char> buffer(kMaxFileSize + 1);
  CStream* stream = nullptr;
  try {
    stream = GetFileSystem().Open(m_Url.c_str(), kOpenFlags, 0);
    {
      CriticalSectionLock lock(m_Lock);
      m_Stream = stream;
    }
    DWORD total = 0;
    DWORD remaining = kMaxFileSize;
    bool ended = false;
    for (;;) {
      {
        CriticalSectionLock lock(m_Lock);
        if (m_Stop || ended || remaining == 0) break;
      }
      const DWORD count = stream->Read(buffer.data() + total, remaining);
      total += count;
      remaining -= count;
      ended = stream->IsAtEnd();
      if (!ended && !StopRequested()) Sleep(kPollMilliseconds);
    }
    UpdateAnnouncement announcement;
    const bool found = ended && !StopRequested() && ParseUpdateFile(std::string_view(buffer.data(), total), announcement);
    {
      CriticalSectionLock lock(m_Lock);
      m_Stream = nullptr;
      m_Announcement = announcement;
      m_Found = found;
      m_Done = true;
      if (m_Window) PostMessageA(m_Window, m_Message, found ? 1 : 0, reinterpret_cast<LPARAM>(this));
    }
    stream->CloseNoThrow();
  } catch (CError* error) {
    DisposeError(error);
    CriticalSectionLock lock(m_Lock);
    if (m_Stream) m_Stream->CloseNoThrow();
    m_Stream = nullptr;
    m_Done = true;
  }
}

DWORD ReadLastSkippedVersion() {
  HKEY key = nullptr;
  if (!OpenSettingsKey(KEY_QUERY_VALUE, &key)) return 0;
  DWORD version = 0;
  if (!GetRegistryDWord(key, "LastSkippedVersion", &version)) version = 0;
  RegCloseKey(key);
  return version;
}
