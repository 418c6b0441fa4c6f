// Metrics of the virtual screen and of the classic window look.
#include <algorithm>

#include "DisplayMode.h"
#include "WindowManager.h"
#include "twlwin/errors.h"
#include "twlwin/testing_user.h"

using namespace twl::user;

TWLAPI int GetSystemMetrics(int index) {
  Guard guard(Lock());
  const Screen& screen = Model().screen;
  switch (index) {
    case SM_CXSCREEN: case SM_CXVIRTUALSCREEN: return screen.width;
    case SM_CYSCREEN: case SM_CYVIRTUALSCREEN: return screen.height;
    case SM_XVIRTUALSCREEN: case SM_YVIRTUALSCREEN: return 0;
    case SM_CXFULLSCREEN: return screen.workArea.right - screen.workArea.left;
    case SM_CYFULLSCREEN: return screen.workArea.bottom - screen.workArea.top - kCaption;
    case SM_CXMAXIMIZED: return screen.workArea.right - screen.workArea.left + 2 * kSizingFrame;
    case SM_CYMAXIMIZED: return screen.workArea.bottom - screen.workArea.top + 2 * kSizingFrame;
    case SM_CXVSCROLL: case SM_CYHSCROLL: return 16;
    case SM_CYCAPTION: return kCaption;
    case SM_CYSMCAPTION: return kSmallCaption;
    case SM_CXBORDER: case SM_CYBORDER: return kBorder;
    case SM_CXDLGFRAME: case SM_CYDLGFRAME: return kDialogFrame;
    case SM_CXFRAME: case SM_CYFRAME: return kSizingFrame;
    case SM_CXEDGE: case SM_CYEDGE: return kEdge;
    case SM_CXICON: case SM_CYICON: case SM_CXCURSOR: case SM_CYCURSOR: return 32;
    case SM_CXSMICON: case SM_CYSMICON: return 16;
    case SM_CYMENU: return 19;
    case SM_CXSIZE: case SM_CYSIZE: return 18;
    case SM_CXMIN: case SM_CXMINTRACK: return 112;
    case SM_CYMIN: case SM_CYMINTRACK: return 27;
    case SM_CXDOUBLECLK: case SM_CYDOUBLECLK: return 4;
    case SM_MOUSEPRESENT: case SM_MOUSEWHEELPRESENT: case SM_CMONITORS: return 1;
    case SM_CMOUSEBUTTONS: return 3;
    case SM_SWAPBUTTON: return 0;
  }
  return 0;
}

TWLAPI BOOL SystemParametersInfoA(UINT action, UINT uiParam, PVOID pvParam, UINT) {
  Guard guard(Lock());
  Screen& screen = Model().screen;
  switch (action) {
    case SPI_GETWORKAREA:
      if (!pvParam) break;
      *static_cast<RECT*>(pvParam) = screen.workArea;
      return TRUE;
    case SPI_GETSCREENSAVEACTIVE:
      if (!pvParam) break;
      *static_cast<BOOL*>(pvParam) = screen.screenSaverActive;
      return TRUE;
    case SPI_SETSCREENSAVEACTIVE:
      screen.screenSaverActive = uiParam != 0;
      return TRUE;
  }
  SetLastError(ERROR_INVALID_PARAMETER);
  return FALSE;
}

TWLAPI UINT GetDoubleClickTime() { return 500; }

TWLAPI void TwlTestSetScreen(int width, int height, int bitsPerPixel) {
  ChangeDisplayMode(std::max(width, 0), std::max(height, 0), std::max(bitsPerPixel, 0));
}

TWLAPI void TwlTestSetWorkArea(const RECT* area) {
  Guard guard(Lock());
  Screen& screen = Model().screen;
  screen.workArea = area ? *area : RECT{0, 0, screen.width, screen.height};
}
