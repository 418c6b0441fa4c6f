#include "NoticeWindow.h"

namespace winsocktest {

NoticeWindow::NoticeWindow() {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "winsock test window";
  RegisterClassA(&windowClass);
  m_Window = CreateWindowExA(0, windowClass.lpszClassName, "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                             windowClass.hInstance, nullptr);
}

NoticeWindow::~NoticeWindow() { DestroyWindow(m_Window); }

std::optional<MSG> NoticeWindow::Next(DWORD ms) {
  MSG msg;
  for (DWORD waited = 0; waited <= ms; ++waited) {
    if (PeekMessageA(&msg, m_Window, 0, 0, PM_REMOVE)) return msg;
    Sleep(1);
  }
  return std::nullopt;
}

SOCKADDR_IN Loopback(USHORT port) {
  SOCKADDR_IN address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.S_un.S_addr = inet_addr("127.0.0.1");
  return address;
}

SOCKET ListenOnLoopback(USHORT* port) {
  SOCKET s = socket(AF_INET, SOCK_STREAM, 0);
  SOCKADDR_IN address = Loopback(0);
  bind(s, reinterpret_cast<SOCKADDR*>(&address), sizeof address);
  listen(s, 5);
  int length = sizeof address;
  getsockname(s, reinterpret_cast<SOCKADDR*>(&address), &length);
  *port = ntohs(address.sin_port);
  return s;
}

}  // namespace winsocktest
