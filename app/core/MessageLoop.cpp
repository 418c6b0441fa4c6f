#include "app/core/MessageLoop.h"

#include "app/core/System.h"

BOOL PumpMessage() {
  MSG message{};
  const BOOL result = GetMessageA(&message, nullptr, 0, 0);
  if (result == 0) {
    SetQuitting(true);
    return result;
  }
  if (result != 1) return result;
  GetSystem().DeliverDeferredMessages();
  TranslateMessage(&message);
  DispatchMessageA(&message);
  return result;
}

bool RunMessageLoop() {
  while (!IsQuitting()) {
    if (PumpMessage() == -1) return false;
  }
  return true;
}
