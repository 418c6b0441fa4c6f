#include "display/MessageWindow.h"

#include <atomic>

#include "display/WindowClassOnce.h"
#include "foundation/errors/LocalText.h"
#include "foundation/kernel/Error.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CMessageWindow, CTypedObject)

namespace {

constexpr char kClassName[] = "TWLMessageWindow class";

// Registered once per process.
std::atomic<bool> theClassRegistered{false};

void RegisterWindowClass(WNDPROC procedure) {
  if (!RegisterWindowClassOnce(theClassRegistered, kClassName, procedure)) {
    ThrowError<CError>(LocalText("RegisterClassFailed.Caption", "Window error"),
                       LocalText("RegisterClassFailed.Text", "Error registering window class."));
  }
}

}  // namespace

void CMessageWindow::Create(Callback callback, void* context) {
  RegisterWindowClass(&WindowProc);
  Destroy();
  m_Callback = callback;
  m_Context = context;
  m_Window = CreateWindowExA(0, kClassName, "Message window", WS_POPUP, -500, -500, 0, 0, nullptr, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
  if (!m_Window) {
    ThrowError<CError>(LocalText("CreateWindowFailed.Caption", "Window error"),
                       LocalText("CreateWindowFailed.Text", "Error creating window."));
  }
  SetWindowLongPtrA(m_Window, GWL_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

void CMessageWindow::Destroy() {
  if (!m_Window) return;
  HWND window = m_Window;
  DestroyWindow(window);
  m_Window = nullptr;
}

bool CMessageWindow::DiscardMessages(UINT message) {
  bool discarded = false;
  MSG queued;
  while (m_Window && PeekMessageA(&queued, m_Window, message, message, PM_REMOVE)) discarded = true;
  return discarded;
}

void CMessageWindow::DispatchMessages(UINT message) {
  if (m_Window) DispatchWindowMessages(m_Window, message);
}

LRESULT CALLBACK CMessageWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<CMessageWindow*>(GetWindowLongPtrA(window, GWL_USERDATA));
  if (self && self->m_Callback) self->m_Callback(self->m_Context, message, wParam, lParam);
  return DefWindowProcA(window, message, wParam, lParam);
}

void DispatchWindowMessages(HWND window, UINT message) {
  MSG queued;
  while (PeekMessageA(&queued, window, message, message, PM_REMOVE)) {
    TranslateMessage(&queued);
    DispatchMessageA(&queued);
  }
}
