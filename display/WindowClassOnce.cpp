#include "display/WindowClassOnce.h"

bool RegisterWindowClassOnce(std::atomic<bool>& registered, const char* className, WNDPROC procedure) {
  if (registered.load()) return true;
  WNDCLASSA windowClass{};
  windowClass.style = CS_NOCLOSE;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = className;
  if (!RegisterClassA(&windowClass)) return false;
  registered.store(true);
  return true;
}
