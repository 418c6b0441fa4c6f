// The log front of the program: entries go to the log file and the log
// window with their code's class, and some codes pop the window up.
#include "app/core/System.h"

namespace {

constexpr DWORD kGroupStep = 0x100;
constexpr DWORD kHighStep = 0x10000;
constexpr DWORD kTableSize = 16;
constexpr LONG kWindowTestStyleBit = 0x8;
constexpr int kLongestLoggedTitle = 200;

}  // namespace

void CSystem::LogFormatV(DWORD code, const char* format, va_list args) {
  const DWORD severity = ::GetLogSeverity(code);
  va_list copy;
  if (m_LogFile.HasFileName()) {
    va_copy(copy, args);
    m_LogFile.PrintV(format, copy, severity);
    va_end(copy);
  }
  if (!HasLogWindow()) return;
  va_copy(copy, args);
  m_LogWindow.PrintV(format, copy, severity);
  va_end(copy);
  if (ShouldShowLogWindow(code)) m_LogWindow.Show(true);
}

void CSystem::LogFormat(DWORD code, const char* format, ...) {
  va_list args;
  va_start(args, format);
  LogFormatV(code, format, args);
  va_end(args);
}

bool CSystem::ShouldShowLogWindow(DWORD code) {
  if (code < kGroupStep || (code & 0xFF) != 0) return false;
  LONG mode = LOGPOPUP_NEVER;
  if (code < kHighStep) {
    const DWORD k = code / kGroupStep;
    if (k >= kTableSize) return false;
    mode = m_GroupPopUp[k];
  } else {
    const DWORD k = code / kHighStep;
    if (k >= kTableSize) return false;
    mode = m_HighPopUp[k];
  }
  if (mode == LOGPOPUP_ALWAYS) return true;
  if (mode == LOGPOPUP_WHEN_WINDOW_FOUND) return RunWindowTest();
  return false;
}

void CSystem::SetLogPopUpMode(DWORD code, LONG mode) {
  if (code < kGroupStep || (code & 0xFF) != 0) return;
  if (code < kHighStep) {
    if (code / kGroupStep < kTableSize) m_GroupPopUp[code / kGroupStep] = mode;
  } else if (code / kHighStep < kTableSize) {
    m_HighPopUp[code / kHighStep] = mode;
  }
}

// A maximised window of this program may cover the log window: the test
// looks for one and names it in the log.
bool CSystem::RunWindowTest() {
  m_WindowTestResult = false;
  EnumWindows(&CSystem::FindMaximisedProgramWindow, reinterpret_cast<LPARAM>(this));
  return m_WindowTestResult;
}

BOOL CALLBACK CSystem::FindMaximisedProgramWindow(HWND window, LPARAM self) {
  auto* system = reinterpret_cast<CSystem*>(self);
  if (!IsZoomed(window) || !IsWindowVisible(window)) return TRUE;
  if (!(GetWindowLongA(window, GWL_STYLE) & kWindowTestStyleBit)) return TRUE;
  DWORD windowProcess = 0;
  DWORD activeProcess = 0;
  GetWindowThreadProcessId(window, &windowProcess);
  HWND active = GetActiveWindow();
  if (!active) return TRUE;
  GetWindowThreadProcessId(active, &activeProcess);
  if (windowProcess != activeProcess) return TRUE;
  char title[kLongestLoggedTitle] = "";
  GetWindowTextA(window, title, sizeof title);
  system->LogFormat(LOGCODE_INFO, "\n\n\n");
  system->LogFormat(LOGCODE_INFO, "%s", title);
  system->m_WindowTestResult = true;
  return FALSE;
}

INT AssertionFailed(const char* file, INT line) {
  ::LogFormat(LOGCODE_ERROR, "\n\nASSERTION FAILED: %s, line %d\n\n", file ? file : "unknown file", line);
  return 0;
}
