#include "ModelThread.h"

#include <future>

namespace qttest {

namespace {

constexpr UINT kRunWork = WM_APP + 0x200;
ModelThread* theThread = nullptr;  // the window procedure's way back

}  // namespace

ModelThread::ModelThread() {
  theThread = this;
  std::promise<DWORD> started;
  auto id = started.get_future();
  thread_ = std::thread([this, &started] {
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
    WNDCLASSA cls{};
    cls.style = CS_DBLCLKS;
    cls.lpfnWndProc = &ModelThread::Proc;
    cls.lpszClassName = "PresenterTestWindow";
    cls.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    RegisterClassA(&cls);
    started.set_value(GetCurrentThreadId());
    Loop();
  });
  id_ = id.get();
}

ModelThread::~ModelThread() {
  PostThreadMessageA(id_, WM_QUIT, 0, 0);
  thread_.join();
  theThread = nullptr;
}

void ModelThread::Loop() {
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (!msg.hwnd && msg.message == kRunWork) {
      (*reinterpret_cast<std::function<void()>*>(msg.lParam))();
      continue;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

void ModelThread::Run(std::function<void()> work) {
  std::promise<void> done;
  std::function<void()> call = [&] {
    work();
    done.set_value();
  };
  PostThreadMessageA(id_, kRunWork, 0, reinterpret_cast<LPARAM>(&call));
  done.get_future().wait();
}

HWND ModelThread::Create(const char* title, DWORD style, DWORD exStyle, RECT rect, HWND owner) {
  HWND window = nullptr;
  Run([&] {
    window = CreateWindowExA(exStyle, "PresenterTestWindow", title, style, rect.left, rect.top, rect.right - rect.left,
                             rect.bottom - rect.top, owner, nullptr, nullptr, nullptr);
  });
  return window;
}

void ModelThread::Handle(Handler handler) {
  std::lock_guard guard(lock_);
  handler_ = std::move(handler);
}

std::vector<Message> ModelThread::Received(UINT message) {
  std::lock_guard guard(lock_);
  std::vector<Message> out;
  for (const Message& m : received_)
    if (m.message == message) out.push_back(m);
  return out;
}

LRESULT CALLBACK ModelThread::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  ModelThread* self = theThread;
  Handler handler;
  {
    std::lock_guard guard(self->lock_);
    self->received_.push_back(Message{window, message, wParam, lParam});
    handler = self->handler_;
  }
  LRESULT answer = 0;
  if (handler && handler(window, message, wParam, lParam, &answer)) return answer;
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace qttest
