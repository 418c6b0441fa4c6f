// A hidden window of the test's thread that collects socket notices and
// lookup replies, with bounded waits.
#pragma once

#include <winsock.h>

#include <optional>

namespace winsocktest {

constexpr UINT kNotice = WM_USER + 1;
constexpr UINT kReply = WM_USER + 2;

class NoticeWindow {
 public:
  NoticeWindow();
  ~NoticeWindow();
  HWND Handle() const { return m_Window; }
  // The next message for the window within about `ms` milliseconds.
  std::optional<MSG> Next(DWORD ms = 5000);
  // Whether nothing arrives for `ms` milliseconds.
  bool Quiet(DWORD ms) { return !Next(ms); }

 private:
  HWND m_Window;
};

// A listening socket on 127.0.0.1 and a free port.
SOCKET ListenOnLoopback(USHORT* port);
SOCKADDR_IN Loopback(USHORT port);

}  // namespace winsocktest
