// CLogWindow: the log sink that shows the log on screen. Its window runs on
// a thread of its own, so that it stays responsive and can report problems
// while the rest of the program is busy or stuck. It has two faces: the
// simple one (the default) shows the latest burst of errors in plain words;
// the advanced one shows the full log and has a button that quits the
// program. The face and the window's place persist in the settings key.
//
// Threading: any thread may call every operation; they only post messages
// to the window thread (PlaceBehind sends one), which alone touches the
// windows. A group (BeginWrite to EndWrite) keeps one thread's entries
// together while other threads' entries wait. Destroy the window before
// the process ends: its thread is counted, and the process waits for it.
#pragma once

#include <windows.h>

#include <deque>
#include <memory>

#include "foundation/kernel/CriticalSection.h"
#include "foundation/log/Log.h"

class CError;
class CLogWindowFrame;

class CLogWindow : public CLog {
  TWL_DECLARE_CLASS(CLogWindow)

 public:
  enum Mode : DWORD { MODE_ADVANCED = 0, MODE_SIMPLE = 1 };

  CLogWindow();
  CLogWindow(const CLogWindow&) = delete;
  CLogWindow& operator=(const CLogWindow&) = delete;
  ~CLogWindow() override;

  // Starts the window thread and returns once the window is built (hidden
  // until Show). A window that still runs is destroyed first. Throws the
  // CError that stopped the building.
  void Create(HWND owner);
  // Stores the window's place, ends the window thread and waits for it.
  // Entries not shown yet are dropped. Harmless without a window.
  void Destroy();

  // Entries written while there is no window are lost.
  void Write(const char* text, DWORD severity) override;
  // False when there is no window to take the group.
  bool BeginWrite() override;
  void EndWrite() override;

  void Show(bool show);
  void Hide();
  // Hides the window for a while (the user interface minimised all its
  // windows) and shows it again afterwards if it was meant to be shown.
  void BeginHide();
  void EndHide();
  // Puts the log window right behind the given window in z-order; returns
  // once done.
  void PlaceBehind(HWND window);
  void BringToForeground();

  // The log window, or null while there is none.
  HWND GetWindowHandle();

 private:
  enum class Fetch { Message, Quit, Failed };

  static DWORD WINAPI ThreadEntry(LPVOID self);
  DWORD ThreadProc();
  void RunMessageLoop();
  Fetch NextMessage(MSG* message);
  bool TakeRunnableDeferred(MSG* message);
  void HandleLogMessage(const MSG& message);
  void DiscardQueuedEntries();
  void DiscardDeferredEntries();
  bool PostToWindow(UINT message, WPARAM wParam, LPARAM lParam);

  CriticalSection m_Lock;
  // Guarded by the lock.
  RECT m_Rect{};
  HWND m_Owner = nullptr;
  DWORD m_Mode = MODE_SIMPLE;
  bool m_Created = false;
  bool m_QuitRequested = false;
  HANDLE m_Thread = nullptr;
  CError* m_ThreadError = nullptr;
  HWND m_Window = nullptr;
  // The window thread's own.
  std::unique_ptr<CLogWindowFrame> m_Frame;
  LONG m_GroupNesting = 0;
  DWORD m_GroupThread = 0;
  std::deque<MSG> m_Deferred;
};
