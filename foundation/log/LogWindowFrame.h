// CLogWindowFrame: the log window's windows and what they show, on the
// window thread. It builds the window with its lists, texts and buttons,
// lays them out for the current face, answers the window's messages and
// turns log text into lines of the full log and of the last-error list.
//
// Threading: built, used and destroyed on the log window's thread only;
// CLogWindow owns it and posts to its window from other threads.
#pragma once

#include <windows.h>

#include "foundation/kernel/Str.h"
#include "foundation/log/LogWindowLayout.h"

// Messages posted or sent to the log window. wParam is the sender's thread
// id for the posted ones.
enum LogWindowMessage : UINT {
  LOGWINDOW_BEGIN_GROUP = 1124,
  LOGWINDOW_END_GROUP = 1125,
  LOGWINDOW_ENTRY = 1126,       // lParam: a LogWindowEntry
  LOGWINDOW_SHOW = 1134,        // lParam: show flag
  LOGWINDOW_HIDE_FOR_NOW = 1135,  // lParam: 1 hide for now, 0 end that
  LOGWINDOW_PLACE_BEHIND = 1136,  // sent; lParam: the window to go behind
  LOGWINDOW_LAYOUT = 1137,
};

// Control ids of the buttons.
enum LogWindowButton : int {
  LOGWINDOW_HIDE_BUTTON = 500,
  LOGWINDOW_QUIT_BUTTON = 501,
  LOGWINDOW_MODE_BUTTON = 502,
};

// An entry on its way to the window thread: one block, freed with
// FreeLogWindowEntry. Null when memory is short.
struct LogWindowEntry {
  DWORD severity;
  char* text;  // in the same block, right after the record
};
LogWindowEntry* MakeLogWindowEntry(const char* text, DWORD severity);
void FreeLogWindowEntry(LogWindowEntry* entry);

class CLogWindowFrame {
 public:
  explicit CLogWindowFrame(DWORD mode);
  CLogWindowFrame(const CLogWindowFrame&) = delete;
  CLogWindowFrame& operator=(const CLogWindowFrame&) = delete;
  ~CLogWindowFrame();

  // Registers the window class once per process. Throws CError.
  static void RegisterWindowClass();

  // Builds the windows at the rectangle (grown to the minimum size), owned
  // by the owner window, hidden. Throws CError; what was built is
  // destroyed again by the destructor.
  void Build(HWND owner, const RECT& rect);
  HWND GetWindow() const { return m_Window; }

  // Adds an entry's text to the lines: line breaks (CR, LF or CR LF) end
  // lines, text without a break continues the current one.
  void AddText(const char* text, DWORD severity);

  void DestroyWindows();

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnCustomDraw(LPARAM lParam);
  void OnCommand(int id);
  void OnSize();

  void CreateFont();
  void CreateMainWindow(HWND owner, const RECT& rect);
  void Measure();
  HWND CreateList(const char* title);
  HWND CreateTextBox();
  HWND CreateButton(int id);

  LogWindowTextBlock FitText(HWND textBox, bool hasText);
  void Layout();
  void ApplyMode();
  void SwitchMode();
  void AffirmQuit();
  void UpdateVisibility(bool bringToFront);
  void PlaceBehind(HWND window);

  void AppendPiece(const char* piece, size_t length, DWORD severity);
  void StartLine();
  void WidenColumn(HWND list, const CStr& text, int& columnWidth);

  DWORD m_Mode;
  HFONT m_Font = nullptr;
  HWND m_Window = nullptr;
  HWND m_FullLog = nullptr;
  HWND m_LastErrors = nullptr;
  HWND m_TopText = nullptr;
  HWND m_BottomText = nullptr;
  HWND m_HideButton = nullptr;
  HWND m_QuitButton = nullptr;
  HWND m_ModeButton = nullptr;
  bool m_ControlsReady = false;

  LogWindowMetrics m_Metrics;
  SIZE m_MinimumSize{0, 0};

  bool m_Shown = false;
  bool m_HiddenForNow = false;

  int m_FullLogItems = 0;
  int m_FullLogColumnWidth = 10;
  CStr m_CurrentLine;
  DWORD m_CurrentSeverity = 0;

  int m_LastErrorItems = 0;
  int m_LastErrorColumnWidth = 10;
  bool m_NewErrorBlock = true;
  CStr m_LastErrorLine;
  DWORD m_LastErrorTime;
};
