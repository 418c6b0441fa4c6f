#include "HiddenWindow.h"

namespace twltool {

HWND MakeHiddenWindow() {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "twltool hidden window";
  RegisterClassA(&windowClass);  // fails harmlessly when registered before
  return CreateWindowExA(0, windowClass.lpszClassName, "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, windowClass.hInstance,
                         nullptr);
}

}  // namespace twltool
