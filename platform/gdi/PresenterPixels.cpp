// The pixel side of the presenter seam (twlwin/presenter.h).
#include "Screen.h"
#include "platform/user/WindowLayout.h"
#include "twlwin/errors.h"
#include "twlwin/presenter.h"

using namespace twl::gdi;

TWLAPI BOOL TwlReadWindowPixels(HWND window, const RECT* area, DWORD* rows, int stride) {
  twl::user::WindowFrame frame;
  if (!twl::user::DescribeWindow(window, &frame) || frame.root != frame.id) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  if (!area || !rows || stride < 4 * (area->right - area->left) ||
      !ReadWindow(window, *area, reinterpret_cast<uint32_t*>(rows), static_cast<size_t>(stride))) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return TRUE;
}

TWLAPI BOOL TwlReadScreenPixels(const RECT* area, DWORD* rows, int stride) {
  if (!area || !rows || stride < 4 * (area->right - area->left) ||
      !ReadScreen(*area, reinterpret_cast<uint32_t*>(rows), static_cast<size_t>(stride))) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return TRUE;
}
