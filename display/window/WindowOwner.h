// CWindowOwner: what is told of a window's life: hidden, shown, destroyed.
// A window reports to its owner, which may itself be a window.
#pragma once

#include "foundation/kernel/TypedObject.h"

class CWindow;

class CWindowOwner : public CTypedObject {
  TWL_DECLARE_CLASS(CWindowOwner)
 public:
  enum WindowEvent : int {
    WINDOW_EVENT_HIDDEN = 0,
    WINDOW_EVENT_SHOWN = 1,
    WINDOW_EVENT_DESTROYED = 2,
  };

  virtual void OnWindowEvent(CWindow* window, int code) = 0;

 protected:
  CWindowOwner() noexcept = default;
};
