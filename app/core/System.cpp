#include "app/core/System.h"

#include <fcntl.h>
#include <unistd.h>

#include "app/core/DataSystemUrlReader.h"
#include "app/core/SystemHostEnvironment.h"
#include "app/ui/UserInterface.h"
#include "foundation/appcore/Directories.h"
#include "playback/data/DataSystem.h"
#include "playback/visualizer/VisualizerSystem.h"
#include "pluginhost/viewer/ControlWindowHost.h"
#include "pluginhost/viewer/ControlWindowSystem.h"
#include "pluginhost/enumeration/FileObjectEnumerationSystem.h"
#include "pluginhost/filters/FileFilterSystem.h"
#include "pluginhost/hostapi/HostApiModule.h"

TWL_IMPLEMENT_CLASS(CSystem, CTypedObject)

namespace {

bool quitting = false;

}  // namespace

bool IsQuitting() { return quitting; }
void SetQuitting(bool value) { quitting = value; }

CSystem& GetSystem() {
  static CSystem system;
  return system;
}

// Codes 0x100 x k pop the window up, except paint problems (0x200) and
// 0x400, which do so only while a maximised window of the program might
// hide it; warnings never do.
CSystem::CSystem() {
  for (LONG& mode : m_GroupPopUp) mode = LOGPOPUP_ALWAYS;
  m_GroupPopUp[2] = LOGPOPUP_WHEN_WINDOW_FOUND;
  m_GroupPopUp[4] = LOGPOPUP_WHEN_WINDOW_FOUND;
  for (LONG& mode : m_HighPopUp) mode = LOGPOPUP_NEVER;
}

// The information databases are the process's and stay: threads still
// ending during the process's exit may hold their records.
CSystem::~CSystem() {
  if (GetLogFront() == this) SetLogFront(nullptr);
  if (GetStepTimer() == this) SetStepTimer(nullptr);
}

// Every step copes with a system that never came up, so Exit may follow a
// failed Start or Init, and may run twice. The systems go down in the
// reverse order of their start, the player system first; the information
// records lose their listeners before they are freed, and the plug-ins are
// unloaded only after every system let go of their objects.
void CSystem::Exit() {
  // A fetch of the update file must not outlive what it reports to.
  GetUserInterface().StopUpdateCheck();
  GetFileFilterSystem().Exit();
  ExitPlayerSystem();
  ExitFileIdentifierSystem();
  GetVisualizerSystem().Exit();
  GetVisualizerSystem().SetViewer(nullptr);
  if (m_ViewerReady) GetControlWindowSystem().Exit();
  m_ViewerReady = false;
  SetControlWindowHost(nullptr);
  GetUserInterface().PrepareExit();
  DetachInfoListeners();
  FreeInfoDataBases();
  GetFileObjectEnumerationSystem().Exit();
  UnregisterDataSystemUrlReader();
  GetDataSystem().Exit();
  m_PlugIns.UnloadPlugIns();
  GetUserInterface().Exit();
  CloseLogs();
  m_OwnerWindow->Destroy();
  if (m_IconManagerReady) m_IconManager.Clear();
  m_IconManagerReady = false;
  if (m_HostApiReady) {
    ExitHostApi();
    RemoveSystemHostEnvironment();
  }
  m_HostApiReady = false;
  ClearDeferredMessages();
  m_LogFileName = CStr();
  m_CrashLogFileName = CStr();
  m_LogFileNameBytes[0] = '\0';
  m_CrashLogFileNameBytes[0] = '\0';
  m_PendingCommands.reset();
}

void CSystem::CloseLogs() {
  if (GetLogFront() == this) SetLogFront(nullptr);
  if (GetStepTimer() == this) SetStepTimer(nullptr);
  m_LogWindow.Destroy();
  m_LogFile.ClearFileName();
}

bool CSystem::FileExists(const char* path) {
  HANDLE file = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_FLAG_NO_BUFFERING, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  return true;
}

bool CSystem::DirectoryExists(const char* path) { return ::DirectoryExists(path); }

// Runs inside the crash filter, possibly on a thread that faulted while
// holding a lock of the layer: only calls that are safe in a signal
// handler, on names prepared when the logs were set up.
void CSystem::CopyLogToCrashLog() {
  if (!m_CrashLogFileNameBytes[0] || !m_LogFileNameBytes[0]) return;
  const int from = open(m_LogFileNameBytes, O_RDONLY | O_CLOEXEC);
  if (from < 0) return;
  const int to = open(m_CrashLogFileNameBytes, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (to >= 0) {
    char buffer[4096];
    for (;;) {
      const ssize_t got = read(from, buffer, sizeof buffer);
      if (got <= 0) break;
      ssize_t done = 0;
      while (done < got) {
        const ssize_t written = write(to, buffer + done, static_cast<size_t>(got - done));
        if (written <= 0) break;
        done += written;
      }
      if (done < got) break;
    }
    close(to);
  }
  close(from);
}

void CSystem::PostDeferredSendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  m_DeferredMessages.push_back(DeferredMessage{window, message, wParam, lParam});
  PostThreadMessageA(GetCurrentThreadId(), kWakeForDeferredMessages, 0, 0);
}

// Each record leaves the queue before its send, so a record queued during
// a send is delivered in this same pass.
void CSystem::DeliverDeferredMessages() {
  while (!m_DeferredMessages.empty()) {
    const DeferredMessage next = m_DeferredMessages.front();
    m_DeferredMessages.pop_front();
    SendMessageA(next.window, next.message, next.wParam, next.lParam);
  }
}

void CSystem::ClearDeferredMessages() { m_DeferredMessages.clear(); }
