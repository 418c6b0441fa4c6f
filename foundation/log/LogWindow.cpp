#include "foundation/log/LogWindow.h"

#include <new>

#include "foundation/appcore/MainWindow.h"
#include "foundation/appcore/RegistryValues.h"
#include "foundation/appcore/SettingsKey.h"
#include "foundation/appcore/WindowRect.h"
#include "foundation/errors/LocalText.h"
#include "foundation/kernel/Error.h"
#include "foundation/kernel/Threads.h"
#include "foundation/log/LogWindowFrame.h"
#include "foundation/log/LogWindowTexts.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CLogWindow, CLog)

namespace {

constexpr const char* kWindowName = "LogWindow";
constexpr const char* kModeValueName = "LogWindowMode";
constexpr int kDefaultWidth = 350;
constexpr int kDefaultHeight = 220;
constexpr DWORD kPollMilliseconds = 5;

bool IsLogMessage(UINT message) { return message >= LOGWINDOW_BEGIN_GROUP && message <= LOGWINDOW_ENTRY; }

// The face stored in the settings key: advanced only when it says 0.
DWORD ReadStoredMode() {
  HKEY key = nullptr;
  if (!OpenSettingsKey(KEY_QUERY_VALUE, &key)) return CLogWindow::MODE_SIMPLE;
  DWORD value = CLogWindow::MODE_SIMPLE;
  const bool read = GetRegistryDWord(key, kModeValueName, &value);
  RegCloseKey(key);
  return read && value == CLogWindow::MODE_ADVANCED ? CLogWindow::MODE_ADVANCED : CLogWindow::MODE_SIMPLE;
}

}  // namespace

CLogWindow::CLogWindow() { GetLogWindowTexts(); }

CLogWindow::~CLogWindow() {
  Destroy();
  DisposeError(m_ThreadError);
}

void CLogWindow::Create(HWND owner) {
  Destroy();
  CLogWindowFrame::RegisterWindowClass();
  {
    CriticalSectionLock lock(m_Lock);
    LoadWindowRectOrDefault(WindowRectValueName(kWindowName), &m_Rect, kDefaultWidth, kDefaultHeight, nullptr, 0, 0);
    KeepRectOnScreen(&m_Rect);
    m_Mode = ReadStoredMode();
    m_Owner = owner;
    DisposeError(m_ThreadError);
    m_ThreadError = nullptr;
    m_Created = false;
    m_QuitRequested = false;
    m_GroupNesting = 0;
    m_GroupThread = 0;
    // Started under the lock, so that the thread finds its handle stored
    // even when it fails at once.
    m_Thread = BeginThread(nullptr, 0, &CLogWindow::ThreadEntry, this, 0, nullptr);
    if (!m_Thread)
      ThrowError<CError>(LocalText("CreateThreadFailed.Caption", "Thread error"),
                         LocalText("CreateThreadFailed.Text", "Unable to create thread."));
  }
  for (;;) {
    SleepEx(kPollMilliseconds, FALSE);
    CriticalSectionLock lock(m_Lock);
    if (m_Thread && m_Created) return;
    if (m_Thread) continue;
    // The thread has ended: with the error that stopped it, or (when it was
    // told to quit at once) after building the window.
    CError* error = m_ThreadError;
    m_ThreadError = nullptr;
    if (error) throw error;
    return;
  }
}

void CLogWindow::Destroy() {
  CriticalSectionLock lock(m_Lock);
  if (m_Window) {
    RECT rect{};
    if (GetWindowRect(m_Window, &rect)) SaveWindowRect(WindowRectValueName(kWindowName), &rect);
    PostMessageA(m_Window, WM_QUIT, 0, 0);
  }
  m_QuitRequested = true;
  while (m_Thread) {
    lock.Leave();
    SleepEx(kPollMilliseconds, FALSE);
    lock.Enter();
  }
  m_QuitRequested = false;
}

bool CLogWindow::PostToWindow(UINT message, WPARAM wParam, LPARAM lParam) {
  CriticalSectionLock lock(m_Lock);
  return m_Window && PostMessageA(m_Window, message, wParam, lParam);
}

void CLogWindow::Write(const char* text, DWORD severity) {
  LogWindowEntry* entry = MakeLogWindowEntry(text, severity);
  if (!entry) return;
  if (!PostToWindow(LOGWINDOW_ENTRY, GetCurrentThreadId(), reinterpret_cast<LPARAM>(entry))) FreeLogWindowEntry(entry);
}

bool CLogWindow::BeginWrite() { return PostToWindow(LOGWINDOW_BEGIN_GROUP, GetCurrentThreadId(), 0); }

void CLogWindow::EndWrite() { PostToWindow(LOGWINDOW_END_GROUP, GetCurrentThreadId(), 0); }

void CLogWindow::Show(bool show) { PostToWindow(LOGWINDOW_SHOW, GetCurrentThreadId(), show ? 1 : 0); }

void CLogWindow::Hide() { Show(false); }

void CLogWindow::BeginHide() { PostToWindow(LOGWINDOW_HIDE_FOR_NOW, GetCurrentThreadId(), 1); }

void CLogWindow::EndHide() { PostToWindow(LOGWINDOW_HIDE_FOR_NOW, GetCurrentThreadId(), 0); }

void CLogWindow::PlaceBehind(HWND window) {
  // Sent without the lock: the window thread takes the lock between
  // messages and would otherwise never get to answer.
  const HWND logWindow = GetWindowHandle();
  if (logWindow) SendMessageA(logWindow, LOGWINDOW_PLACE_BEHIND, 0, reinterpret_cast<LPARAM>(window));
}

void CLogWindow::BringToForeground() {
  const HWND window = GetWindowHandle();
  if (window) SetForegroundWindow(window);
}

HWND CLogWindow::GetWindowHandle() {
  CriticalSectionLock lock(m_Lock);
  return m_Window;
}

DWORD WINAPI CLogWindow::ThreadEntry(LPVOID self) { return static_cast<CLogWindow*>(self)->ThreadProc(); }

DWORD CLogWindow::ThreadProc() {
  m_Lock.Enter();
  m_Frame.reset(new (std::nothrow) CLogWindowFrame(m_Mode));
  try {
    if (!m_Frame) ThrowMemoryError();
    m_Frame->Build(m_Owner, m_Rect);
    m_Window = m_Frame->GetWindow();
    m_Created = true;
    RunMessageLoop();
    DiscardQueuedEntries();
  } catch (CError* error) {
    // Stays for Create to throw; a failure after building is dropped.
    if (!m_Created) m_ThreadError = error;
    else DisposeError(error);
  }
  m_Frame.reset();
  m_Window = nullptr;
  DiscardDeferredEntries();
  CloseHandle(m_Thread);
  m_Thread = nullptr;
  m_Lock.Leave();
  return 0;
}

// Entered and left with the lock held; the lock is free while a message is
// awaited and handled.
void CLogWindow::RunMessageLoop() {
  for (;;) {
    m_Lock.Leave();
    MSG message{};
    const Fetch fetched = NextMessage(&message);
    if (fetched == Fetch::Message) {
      try {
        if (message.hwnd == m_Window && IsLogMessage(message.message)) {
          HandleLogMessage(message);
        } else {
          TranslateMessage(&message);
          DispatchMessageA(&message);
        }
      } catch (CError* error) {
        // A message that cannot be shown (memory ran short) is lost; the
        // window goes on.
        DisposeError(error);
      }
    }
    m_Lock.Enter();
    if (fetched != Fetch::Message || m_QuitRequested) return;
  }
}

CLogWindow::Fetch CLogWindow::NextMessage(MSG* message) {
  if (TakeRunnableDeferred(message)) return Fetch::Message;
  const BOOL result = GetMessageA(message, m_Window, 0, 0);
  if (result > 0) return Fetch::Message;
  if (result < 0) return Fetch::Failed;
  // Destroy ends the loop with a WM_QUIT of its own; only a quit from
  // elsewhere means that the program is to end, and goes on to the main
  // window.
  bool requested = false;
  {
    CriticalSectionLock lock(m_Lock);
    requested = m_QuitRequested;
  }
  if (!requested) PostQuitToMainWindow();
  return Fetch::Quit;
}

// With no open group the oldest held-back message runs next; with an open
// group, the oldest one of the group's thread.
bool CLogWindow::TakeRunnableDeferred(MSG* message) {
  for (auto it = m_Deferred.begin(); it != m_Deferred.end(); ++it) {
    if (m_GroupNesting > 0 && static_cast<DWORD>(it->wParam) != m_GroupThread) continue;
    *message = *it;
    m_Deferred.erase(it);
    return true;
  }
  return false;
}

void CLogWindow::HandleLogMessage(const MSG& message) {
  const DWORD sender = static_cast<DWORD>(message.wParam);
  if (m_GroupNesting > 0 && sender != m_GroupThread) {
    m_Deferred.push_back(message);
    return;
  }
  switch (message.message) {
    case LOGWINDOW_BEGIN_GROUP:
      ++m_GroupNesting;
      m_GroupThread = sender;
      break;
    case LOGWINDOW_END_GROUP:
      if (m_GroupNesting > 0) --m_GroupNesting;
      break;
    case LOGWINDOW_ENTRY: {
      auto* entry = reinterpret_cast<LogWindowEntry*>(message.lParam);
      if (!entry) break;
      try {
        m_Frame->AddText(entry->text, entry->severity);
      } catch (...) {
        FreeLogWindowEntry(entry);
        throw;
      }
      FreeLogWindowEntry(entry);
      break;
    }
    default:
      break;
  }
}

// Entries still queued when the window goes: their blocks are freed here,
// under the lock, so that no writer can post another one in between.
void CLogWindow::DiscardQueuedEntries() {
  MSG message{};
  while (PeekMessageA(&message, m_Window, LOGWINDOW_ENTRY, LOGWINDOW_ENTRY, PM_REMOVE)) {
    if (message.message == LOGWINDOW_ENTRY) FreeLogWindowEntry(reinterpret_cast<LogWindowEntry*>(message.lParam));
  }
}

void CLogWindow::DiscardDeferredEntries() {
  for (const MSG& message : m_Deferred)
    if (message.message == LOGWINDOW_ENTRY) FreeLogWindowEntry(reinterpret_cast<LogWindowEntry*>(message.lParam));
  m_Deferred.clear();
}
