// Test windows whose procedure records every message it gets (with the
// thread it ran on) and lets a test choose the answer to chosen messages.
// The record is shared by all threads of the test process.
#pragma once

#include <twlwin/testing_user.h>
#include <windows.h>

#include <functional>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

namespace usertest {

struct Event {
  HWND window;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  std::thread::id thread;
};

class Recorder {
 public:
  using Handler = std::function<LRESULT(HWND, WPARAM, LPARAM)>;

  static Recorder& Get() {
    static Recorder recorder;
    return recorder;
  }

  void Clear() {
    std::lock_guard guard(lock_);
    events_.clear();
  }
  // Answers `message` with the handler instead of DefWindowProcA.
  void On(UINT message, Handler handler) {
    std::lock_guard guard(lock_);
    handlers_[message] = std::move(handler);
  }
  std::vector<Event> Events() {
    std::lock_guard guard(lock_);
    return events_;
  }
  std::vector<Event> Of(UINT message) {
    std::vector<Event> out;
    for (const Event& e : Events())
      if (e.message == message) out.push_back(e);
    return out;
  }
  // The messages among `wanted`, in the order they came.
  std::vector<std::pair<HWND, UINT>> Sequence(std::initializer_list<UINT> wanted) {
    std::vector<std::pair<HWND, UINT>> out;
    for (const Event& e : Events())
      for (UINT m : wanted)
        if (e.message == m) out.emplace_back(e.window, e.message);
    return out;
  }

  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Recorder& self = Get();
    Handler handler;
    {
      std::lock_guard guard(self.lock_);
      self.events_.push_back(Event{window, message, wParam, lParam, std::this_thread::get_id()});
      auto found = self.handlers_.find(message);
      if (found != self.handlers_.end()) handler = found->second;
    }
    if (handler) return handler(window, wParam, lParam);
    return DefWindowProcA(window, message, wParam, lParam);
  }

 private:
  std::mutex lock_;
  std::vector<Event> events_;
  std::map<UINT, Handler> handlers_;
};

inline ATOM RegisterRecordingClass(const char* name, UINT style = 0, int windowExtra = 0) {
  WNDCLASSA wc{};
  wc.style = style;
  wc.lpfnWndProc = Recorder::Proc;
  wc.cbWndExtra = windowExtra;
  wc.lpszClassName = name;
  return RegisterClassA(&wc);
}

// A frameless pop-up (window and client rectangle alike) or a child.
inline HWND MakeWindow(const char* className, DWORD style, RECT r, HWND parent = nullptr, int id = 0,
                       DWORD exStyle = 0) {
  return CreateWindowExA(exStyle, className, "", style, r.left, r.top, r.right - r.left, r.bottom - r.top, parent,
                         reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), nullptr, nullptr);
}

inline void Pump() { TwlTestPumpMessages(); }

}  // namespace usertest
