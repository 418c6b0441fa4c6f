#include "plugins/netvarra/sockets/MessageWindowClass.h"

bool RegisterMessageWindowClass(const char* name, WNDPROC procedure) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSA existing;
  if (GetClassInfoA(instance, name, &existing)) return true;
  WNDCLASSA windowClass{};
  windowClass.style = CS_NOCLOSE;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = name;
  if (RegisterClassA(&windowClass)) return true;
  Sleep(100);
  return GetClassInfoA(instance, name, &existing) != FALSE;
}

HWND CreateMessageWindow(const char* className, const char* title, void* object) {
  HWND window = CreateWindowExA(0, className, title, WS_POPUP, -500, -500, 10, 10, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
  if (window) SetWindowLongPtrA(window, GWL_USERDATA, reinterpret_cast<LONG_PTR>(object));
  return window;
}
