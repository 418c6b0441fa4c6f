#include "app/core/MessageLoop.h"

#include "app/core/System.h"
#include "app/ui/UserInterface.h"

BOOL PumpMessage() {
  MSG message{};
  const BOOL result = GetMessageA(&message, nullptr, 0, 0);
  if (result == 0) {
    SetQuitting(true);
    return result;
  }
  if (result != 1) return result;
  GetSystem().DeliverDeferredMessages();
  // An accelerator's command has gone to the user interface's message
  // window; the key press itself still reaches its window untranslated.
  if (!GetUserInterface().TranslateAccelerator(&message)) TranslateMessage(&message);
  DispatchMessageA(&message);
  return result;
}

bool RunMessageLoop() {
  while (!IsQuitting()) {
    if (PumpMessage() == -1) return false;
  }
  return true;
}
