#include "AppActivation.h"

#include "WindowManager.h"

namespace twl::user {

void PostActivateApp(bool active, DWORD otherThreadId) {
  Guard guard(Lock());
  auto queue = CurrentQueueLocked();
  for (uint32_t id : LocalTopLevelsLocked()) {
    Window* w = FindLocked(id);
    if (!w || w->threadId != queue->threadId || w->destroying) continue;
    PostLocked(*queue, MSG{HwndOf(id), WM_ACTIVATEAPP, static_cast<WPARAM>(active ? TRUE : FALSE), static_cast<LPARAM>(otherThreadId), 0, {}},
               false);
  }
}

}  // namespace twl::user
