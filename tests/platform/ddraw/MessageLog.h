// Top-level test windows whose procedure notes chosen messages, for tests
// that look for what the display tells windows.
#pragma once

#include <windows.h>

#include <mutex>
#include <vector>

namespace ddtest {

struct Noted {
  HWND window;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

class MessageLog {
 public:
  static MessageLog& Get() {
    static MessageLog log;
    return log;
  }

  std::vector<Noted> Of(UINT message) {
    std::lock_guard guard(lock_);
    std::vector<Noted> out;
    for (const Noted& n : noted_)
      if (n.message == message) out.push_back(n);
    return out;
  }

  // A visible top-level pop-up window at the screen rectangle.
  static HWND MakeWindow(const RECT& rect) {
    static const ATOM registered = [] {
      WNDCLASSA cls{};
      cls.lpfnWndProc = Proc;
      cls.lpszClassName = "DisplayTestWindow";
      return RegisterClassA(&cls);
    }();
    if (!registered) return nullptr;
    return CreateWindowExA(0, "DisplayTestWindow", "", WS_POPUP | WS_VISIBLE, rect.left, rect.top,
                           rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr, nullptr, nullptr);
  }

 private:
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DISPLAYCHANGE || message == WM_PALETTECHANGED) {
      std::lock_guard guard(Get().lock_);
      Get().noted_.push_back(Noted{window, message, wParam, lParam});
    }
    return DefWindowProcA(window, message, wParam, lParam);
  }

  std::mutex lock_;
  std::vector<Noted> noted_;
};

}  // namespace ddtest
