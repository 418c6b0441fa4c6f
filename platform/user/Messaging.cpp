// Posting, sending and taking messages. A thread takes, in this order:
// sends from other threads (handled, never returned), posted and input
// messages, WM_QUIT from PostQuitMessage, WM_PAINT for invalid windows and
// WM_TIMER for due timers.
#include <algorithm>
#include <chrono>

#include "CopyDataServer.h"
#include "PostOnce.h"
#include "platform/kernel/Clock.h"
#include "WindowManager.h"
#include "twlwin/errors.h"

namespace twl::user {

namespace {

// Windows' limit of posted messages per queue; a poster whose target stopped
// taking messages gets an error instead of growing the queue for ever.
constexpr size_t kMaxPosted = 10000;
constexpr DWORD kErrorNotEnoughQuota = 1816;

bool failNextGetMessage = false;  // guarded by the lock
DWORD failingThread = 0;          // the thread whose GetMessageA fails; 0 any (guarded by the lock)

bool InRange(UINT message, UINT lo, UINT hi) { return (lo == 0 && hi == 0) || (message >= lo && message <= hi); }

bool WindowMatchesLocked(HWND target, HWND filter) {
  if (!filter) return true;
  if (filter == reinterpret_cast<HWND>(static_cast<LONG_PTR>(-1))) return target == nullptr;
  return target == filter || IsDescendantLocked(IdOf(filter), IdOf(target));
}

int DepthLocked(const Window& w) {
  int depth = 0;
  for (Window* p = FindLocked(w.parent); p; p = FindLocked(p->parent)) ++depth;
  return depth;
}

// A window of this thread that needs painting; parents before children.
HWND PaintCandidateLocked(const ThreadQueue& queue, HWND filter) {
  Window* best = nullptr;
  int bestDepth = 0;
  for (auto& [id, w] : Model().windows) {
    if (w->threadId != queue.threadId || w->update.Empty() || w->destroying || !IsVisibleLocked(*w)) continue;
    if (!WindowMatchesLocked(HwndOf(id), filter)) continue;
    int depth = DepthLocked(*w);
    if (!best || depth < bestDepth || (depth == bestDepth && id < best->id)) {
      best = w.get();
      bestDepth = depth;
    }
  }
  return best ? HwndOf(best->id) : nullptr;
}

}  // namespace

// Takes the next message that matches the filter, without waiting. Lock held.
bool TakeMessageLocked(ThreadQueue& queue, MSG* out, HWND filter, UINT lo, UINT hi, bool remove, bool* input) {
  *input = false;
  for (auto it = queue.posted.begin(); it != queue.posted.end(); ++it) {
    bool rangeOk = it->msg.message == WM_QUIT || InRange(it->msg.message, lo, hi);
    if (!rangeOk || !WindowMatchesLocked(it->msg.hwnd, filter)) continue;
    *out = it->msg;
    *input = it->input;
    if (remove) queue.posted.erase(it);
    return true;
  }
  if (queue.quitPosted) {
    *out = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(queue.quitCode), 0, twl::TickCount(), Model().cursor};
    if (remove) queue.quitPosted = false;
    return true;
  }
  if (InRange(WM_PAINT, lo, hi)) {
    // Whatever changed the screen since (a window destroyed, reshaped),
    // what it uncovered is painted.
    InvalidateUncoveredLocked();
    if (HWND window = PaintCandidateLocked(queue, filter)) {
      *out = MSG{window, WM_PAINT, 0, 0, twl::TickCount(), Model().cursor};
      return true;
    }
  }
  if (InRange(WM_TIMER, lo, hi)) {
    uint64_t now = NowLocked();
    for (Timer& t : queue.timers) {
      if (t.due > now || !WindowMatchesLocked(t.window, filter)) continue;
      *out = MSG{t.window, WM_TIMER, t.id, reinterpret_cast<LPARAM>(t.proc), twl::TickCount(), Model().cursor};
      if (remove) t.due = now + t.interval;
      return true;
    }
  }
  return false;
}

// Milliseconds until the next timer is due; -1 when none runs.
int64_t NextTimerDelayLocked(const ThreadQueue& queue) {
  if (queue.timers.empty()) return -1;
  uint64_t now = NowLocked();
  uint64_t due = UINT64_MAX;
  for (const Timer& t : queue.timers) due = std::min(due, t.due);
  return due <= now ? 0 : static_cast<int64_t>(due - now);
}

void WaitForWorkLocked(Guard& guard, ThreadQueue& queue) {
  ++queue.waiting;
  int64_t delay = twl::ClockIsManual() ? -1 : NextTimerDelayLocked(queue);
  if (delay < 0)
    queue.wake.wait(guard);
  else if (delay > 0)
    queue.wake.wait_for(guard, std::chrono::milliseconds(delay));
  --queue.waiting;
}

void PostLocked(ThreadQueue& queue, const MSG& msg, bool input) {
  MSG stamped = msg;
  stamped.time = twl::TickCount();
  stamped.pt = Model().cursor;
  queue.posted.push_back(Posted{stamped, input});
  queue.wake.notify_all();
}

void FailNextGetMessage(DWORD threadId) {
  Guard guard(Lock());
  failNextGetMessage = true;
  failingThread = threadId;
}

// Gets or peeks; wait selects GetMessageA's behaviour.
int FetchMessage(MSG* msg, HWND filter, UINT lo, UINT hi, UINT flags, bool wait) {
  if (!msg) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return -1;
  }
  Guard guard(Lock());
  auto queue = CurrentQueueLocked();
  if (wait && failNextGetMessage && (failingThread == 0 || failingThread == queue->threadId)) {
    failNextGetMessage = false;
    SetLastError(ERROR_INVALID_PARAMETER);
    return -1;
  }
  if (filter && filter != reinterpret_cast<HWND>(static_cast<LONG_PTR>(-1))) {
    Window* w = FindLocked(filter);
    if (!w || w->threadId != queue->threadId) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return -1;
    }
  }
  const bool remove = wait || (flags & PM_REMOVE);
  for (;;) {
    if (RunOneIncoming(guard, *queue)) continue;
    bool input = false;
    if (TakeMessageLocked(*queue, msg, filter, lo, hi, remove, &input)) {
      if (input && remove && !TakeInputLocked(guard, *queue, *msg)) continue;  // eaten by activation
      queue->last = *msg;
      return 1;
    }
    if (!wait) return 0;
    WaitForWorkLocked(guard, *queue);
  }
}

}  // namespace twl::user

using namespace twl::user;

TWLAPI BOOL PostThreadMessageA(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam) {
  Guard guard(Lock());
  ThreadQueue* queue = QueueLocked(threadId);
  if (!queue) {
    SetLastError(ERROR_INVALID_THREAD_ID);
    return FALSE;
  }
  if (queue->posted.size() >= kMaxPosted) {
    SetLastError(kErrorNotEnoughQuota);
    return FALSE;
  }
  PostLocked(*queue, MSG{nullptr, message, wParam, lParam, 0, {}}, false);
  return TRUE;
}

TWLAPI BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!window) return PostThreadMessageA(ThisThreadId(), message, wParam, lParam);
  {
    Guard guard(Lock());
    Window* w = FindLocked(window);
    if (w) {
      ThreadQueue* queue = QueueLocked(w->threadId);
      // A window on its way out takes no more messages: its queue entries
      // are about to be dropped, so the poster keeps ownership of lParam.
      if (!queue || w->destroying) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
      }
      if (queue->posted.size() >= kMaxPosted) {
        SetLastError(kErrorNotEnoughQuota);
        return FALSE;
      }
      PostLocked(*queue, MSG{window, message, wParam, lParam, 0, {}}, false);
      return TRUE;
    }
  }
  // Posting to other processes is not carried over the desktop socket.
  SetLastError(FindForeign(IdOf(window)) ? ERROR_ACCESS_DENIED : ERROR_INVALID_WINDOW_HANDLE);
  return FALSE;
}

BOOL twl::user::PostMessageOnce(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  {
    Guard guard(Lock());
    Window* w = FindLocked(window);
    ThreadQueue* queue = w ? QueueLocked(w->threadId) : nullptr;
    if (queue && !w->destroying) {
      for (const Posted& p : queue->posted)
        if (!p.input && p.msg.hwnd == window && p.msg.message == message && p.msg.wParam == wParam &&
            p.msg.lParam == lParam)
          return TRUE;
    }
  }
  return PostMessageA(window, message, wParam, lParam);
}

TWLAPI LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  {
    Guard guard(Lock());
    if (FindLocked(window)) {
      guard.unlock();
      return SendLocal(window, message, wParam, lParam);
    }
  }
  auto foreign = FindForeign(IdOf(window));
  if (!foreign) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  // Only WM_COPYDATA says how many bytes lParam points to, so only it can
  // cross into another process.
  if (message != WM_COPYDATA || !lParam) {
    SetLastError(ERROR_ACCESS_DENIED);
    return 0;
  }
  auto result = SendCopyDataAcross(*foreign, reinterpret_cast<HWND>(wParam),
                                   *reinterpret_cast<const COPYDATASTRUCT*>(lParam));
  if (!result) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  return *result;
}

TWLAPI BOOL GetMessageA(LPMSG message, HWND window, UINT filterMin, UINT filterMax) {
  int result = FetchMessage(message, window, filterMin, filterMax, PM_REMOVE, true);
  if (result == 1 && message->message == WM_QUIT) return 0;
  return result;
}

TWLAPI BOOL PeekMessageA(LPMSG message, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags) {
  return FetchMessage(message, window, filterMin, filterMax, removeFlags, false) == 1;
}

TWLAPI BOOL WaitMessage() {
  Guard guard(Lock());
  auto queue = CurrentQueueLocked();
  for (;;) {
    if (RunOneIncoming(guard, *queue)) continue;
    MSG msg;
    bool input;
    if (TakeMessageLocked(*queue, &msg, nullptr, 0, 0, false, &input)) return TRUE;
    WaitForWorkLocked(guard, *queue);
  }
}

TWLAPI void PostQuitMessage(int exitCode) {
  Guard guard(Lock());
  auto queue = CurrentQueueLocked();
  queue->quitPosted = true;
  queue->quitCode = exitCode;
  queue->wake.notify_all();
}

TWLAPI BOOL TranslateMessage(const MSG* msg) {
  if (!msg || (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN)) return FALSE;
  Guard guard(Lock());
  auto queue = CurrentQueueLocked();
  int ch = CharForKey(static_cast<UINT>(msg->wParam), queue->keys);
  if (ch <= 0) return FALSE;
  MSG charMsg = *msg;
  charMsg.message = msg->message == WM_KEYDOWN ? WM_CHAR : WM_SYSCHAR;
  charMsg.wParam = static_cast<WPARAM>(ch);
  // The character comes right after its key, ahead of anything queued later.
  queue->posted.push_front(Posted{charMsg, false});
  return TRUE;
}

TWLAPI LRESULT DispatchMessageA(const MSG* msg) {
  if (!msg) return 0;
  if (msg->message == WM_TIMER && msg->lParam) {
    // Call only a procedure this thread's timer really has: a posted
    // WM_TIMER must not make us jump to an address it names.
    TIMERPROC proc = nullptr;
    {
      Guard guard(Lock());
      for (const Timer& t : CurrentQueueLocked()->timers)
        if (t.window == msg->hwnd && t.id == msg->wParam && reinterpret_cast<LPARAM>(t.proc) == msg->lParam)
          proc = t.proc;
    }
    if (proc) proc(msg->hwnd, WM_TIMER, msg->wParam, msg->time);
    return 0;
  }
  if (!msg->hwnd) return 0;
  {
    Guard guard(Lock());
    Window* w = FindLocked(msg->hwnd);
    if (!w) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return 0;
    }
    if (w->threadId != ThisThreadId()) {
      SetLastError(ERROR_WINDOW_OF_OTHER_THREAD);
      return 0;
    }
  }
  return Deliver(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

TWLAPI BOOL InSendMessage() {
  Guard guard(Lock());
  return CurrentQueueLocked()->sendDepth > 0;
}

TWLAPI DWORD GetMessageTime() {
  Guard guard(Lock());
  return CurrentQueueLocked()->last.time;
}

TWLAPI DWORD GetMessagePos() {
  Guard guard(Lock());
  POINT pt = CurrentQueueLocked()->last.pt;
  return static_cast<DWORD>(MAKELONG(static_cast<WORD>(pt.x), static_cast<WORD>(pt.y)));
}
