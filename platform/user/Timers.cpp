// Timers: kept per thread and turned into WM_TIMER when the thread looks
// for messages and nothing else waits. Expirations missed while the thread
// was busy collapse into one message.
#include <algorithm>

#include "WindowManager.h"
#include "twlwin/errors.h"

using namespace twl::user;

TWLAPI UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC procedure) {
  Guard guard(Lock());
  auto queue = CurrentQueueLocked();
  if (window) {
    Window* w = FindLocked(window);
    if (!w || w->threadId != queue->threadId) {
      SetLastError(w ? ERROR_ACCESS_DENIED : ERROR_INVALID_WINDOW_HANDLE);
      return 0;
    }
  }
  UINT interval = std::max<UINT>(elapse, USER_TIMER_MINIMUM);
  if (!window) {
    // A thread timer named by its id is set anew; any other id is replaced
    // by one of the thread's own, never 0.
    auto& timers = queue->timers;
    bool known = id && std::any_of(timers.begin(), timers.end(), [id](const Timer& t) { return !t.window && t.id == id; });
    if (!known) {
      UINT_PTR next = 1;
      for (const Timer& t : timers)
        if (!t.window) next = std::max(next, t.id + 1);
      id = next;
    }
  }
  uint64_t due = NowLocked() + interval;
  for (Timer& t : queue->timers) {
    if (t.window == window && t.id == id) {
      t.interval = interval;
      t.due = due;
      t.proc = procedure;
      queue->wake.notify_all();
      return window ? (id ? id : 1) : id;
    }
  }
  queue->timers.push_back(Timer{window, id, interval, due, procedure});
  queue->wake.notify_all();
  return window ? (id ? id : 1) : id;
}

TWLAPI BOOL KillTimer(HWND window, UINT_PTR id) {
  Guard guard(Lock());
  ThreadQueue* queue = CurrentQueueLocked().get();
  if (window) {
    // A window's timers live in its thread's queue, whoever kills them.
    Window* w = FindLocked(window);
    queue = w ? QueueLocked(w->threadId) : nullptr;
    if (!queue) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return FALSE;
    }
  }
  auto& timers = queue->timers;
  auto found = std::find_if(timers.begin(), timers.end(), [&](const Timer& t) { return t.window == window && t.id == id; });
  if (found == timers.end()) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  timers.erase(found);
  // A WM_TIMER already handed out stays valid; none is queued, so nothing
  // else to remove.
  return TRUE;
}
