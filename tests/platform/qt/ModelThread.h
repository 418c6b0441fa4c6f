// The program side of a presenter test: one thread that owns the test's
// windows and runs their message loop, as a program's UI thread does, and
// a record of the messages they got that the test thread reads. Work for
// the thread goes through Run (posted, then waited for), so the test
// thread itself never runs a window procedure.
#pragma once

#include <windows.h>

#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace qttest {

struct Message {
  HWND window;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

class ModelThread {
 public:
  using Handler = std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT*)>;

  ModelThread();
  ~ModelThread();
  ModelThread(const ModelThread&) = delete;
  ModelThread& operator=(const ModelThread&) = delete;

  // Runs `work` on the thread and waits for it.
  void Run(std::function<void()> work);
  // A window of the test class; `handler` may answer any message first.
  HWND Create(const char* title, DWORD style, DWORD exStyle, RECT rect, HWND owner = nullptr);
  void Handle(Handler handler);
  std::vector<Message> Received(UINT message);
  DWORD Id() const { return id_; }

 private:
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void Loop();

  std::thread thread_;
  DWORD id_ = 0;
  std::mutex lock_;
  std::vector<Message> received_;
  Handler handler_;
};

}  // namespace qttest
