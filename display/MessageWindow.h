// CMessageWindow: a hidden window whose messages go to a callback of its
// owner, so that other threads can have work done on the thread that made
// it: they post private message numbers to the window, and the callback
// runs later in that thread's message loop and dispatches on the number.
// The owner can also throw away, or run at once, the queued messages of
// one number.
//
// Threading: Create, Destroy, DiscardMessages and DispatchMessages run on
// the thread that made the window, which also runs the callback; any
// thread may post to GetWindowHandle().
#pragma once

#include <windows.h>

#include "foundation/kernel/TypedObject.h"

class CMessageWindow : public CTypedObject {
  TWL_DECLARE_CLASS(CMessageWindow)
 public:
  // Gets every message of the window, system messages too; its result is
  // ignored.
  using Callback = void (*)(void* context, UINT message, WPARAM wParam, LPARAM lParam);

  CMessageWindow() = default;
  CMessageWindow(const CMessageWindow&) = delete;
  CMessageWindow& operator=(const CMessageWindow&) = delete;
  ~CMessageWindow() override { Destroy(); }

  // Makes the window on the calling thread (an existing one is destroyed
  // first). Throws a CError when the window class or the window cannot be
  // made; the object then has no window.
  void Create(Callback callback, void* context);
  void Destroy();

  HWND GetWindowHandle() const { return m_Window; }

  // Removes every queued message of exactly that number; true when there
  // was one.
  bool DiscardMessages(UINT message);
  // Runs the callback now for every queued message of that number.
  void DispatchMessages(UINT message);

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  HWND m_Window = nullptr;
  Callback m_Callback = nullptr;
  void* m_Context = nullptr;
};

// Removes, translates and dispatches every queued message of exactly that
// number for the window; serves other framework windows as well.
void DispatchWindowMessages(HWND window, UINT message);
