// Window places: putting a window at a rectangle and keeping its place in
// the settings key between runs. The stored form is the application
// core's, which the log window uses as well.
#include "display/window/Window.h"

#include <vector>

#include "foundation/appcore/LogFront.h"
#include "foundation/appcore/WindowRect.h"
#include "foundation/errors/LocalText.h"
#include "foundation/kernel/Placeholder.h"

namespace {

constexpr DWORD kLoadWarning = 0x10000;

}  // namespace

void CWindow::SetWindowRect(HWND window, const RECT* rect, HWND insertAfter) {
  if (!rect) return;
  UINT flags = SWP_SHOWWINDOW;
  if (!insertAfter) flags |= SWP_NOZORDER;
  SetWindowPos(window, insertAfter, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, flags);
}

bool CWindow::SaveWindowRect(const char* valueName, const RECT& rect) { return ::SaveWindowRect(valueName, &rect); }

bool CWindow::ReadWindowRect(const char* valueName, RECT* rect, bool* found) {
  return ::ReadWindowRect(valueName, rect, found);
}

bool CWindow::LoadWindowRectOrDefault(const char* valueName, RECT* rect, int width, int height, HWND reference,
                                      int dx, int dy) {
  return ::LoadWindowRectOrDefault(valueName, rect, width, height, reference, dx, dy);
}

void CWindow::KeepRectOnScreen(RECT* rect) { ::KeepRectOnScreen(rect); }

void CWindow::LoadWindowRect(RECT* rect, const char* name, int width, int height, HWND reference, int dx, int dy) {
  if (!LoadWindowRectOrDefault(WindowRectValueName(name), rect, width, height, reference, dx, dy)) {
    const CStr text = FillPlaceholders(
        LocalText("CWindow.LoadOldWindowPositionFailed", "Error loading old window position of '%WINDOW%'"),
        {{"%WINDOW%", m_Name}});
    LogFormat(kLoadWarning, "%s\n", text.c_str());
  }
  KeepRectOnScreen(rect);
}

bool CWindow::StoreWindowRect(const char* name, const RECT* rect) {
  return SaveWindowRect(WindowRectValueName(name ? name : m_Name.c_str()), rect ? *rect : m_Rect);
}

CStr CWindow::GetWindowText(HWND window) {
  std::vector<char> buffer(128);
  for (;;) {
    const int length = GetWindowTextA(window, buffer.data(), static_cast<int>(buffer.size()));
    if (length < static_cast<int>(buffer.size()) - 1) return CStr(buffer.data(), length > 0 ? length : 0);
    buffer.resize(buffer.size() * 2);
  }
}
