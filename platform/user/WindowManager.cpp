#include "WindowManager.h"

#include <chrono>
#include <ctime>

#include "WindowRecords.h"
#include "ZOrderStamps.h"
#include "platform/kernel/Clock.h"
#include "twlwin/errors.h"
#include "twlwin/threads.h"

namespace twl::user {

namespace {

// Ends a thread's part in the window manager: every thread still waiting
// for one of its sends is released with a result of 0, and its windows are
// torn down as DestroyWindow does, without messages to them (the thread
// cannot run procedures any more).
void EndThread(const std::shared_ptr<ThreadQueue>& queue) {
  std::vector<uint32_t> trees;
  {
    Guard guard(Lock());
    queue->alive = false;
    for (auto& item : queue->incoming) {
      item->done = true;
      if (item->waiter) item->waiter->wake.notify_all();
    }
    queue->incoming.clear();
    queue->posted.clear();
    queue->timers.clear();
    // The thread's windows whose parent is not its own: the roots of what
    // it leaves behind.
    for (auto& [id, w] : Model().windows) {
      if (w->threadId != queue->threadId) continue;
      const Window* parent = FindLocked(w->parent);
      if (!parent || parent->threadId != queue->threadId) trees.push_back(id);
    }
  }
  for (uint32_t id : trees) TearDownWindow(id, true);
  Guard guard(Lock());
  Model().queues.erase(queue->threadId);
}

struct QueueHolder {
  std::shared_ptr<ThreadQueue> queue;
  ~QueueHolder() {
    if (queue) EndThread(queue);
  }
};

thread_local QueueHolder currentQueue;

// Threads waiting for messages look at their timers again when the manual
// clock moves.
void WakeQueuesForClock() {
  Guard guard(Lock());
  WakeAllLocked();
}

const bool watchingClock = (AddClockWatcher(WakeQueuesForClock), true);

}  // namespace

WindowModel& Model() {
  // Never destroyed: threads and the desktop server may still run while the
  // process exits.
  static WindowModel* state = new WindowModel;
  return *state;
}

DWORD ThisThreadId() { return GetCurrentThreadId(); }

Window* FindLocked(uint32_t id) {
  auto& windows = Model().windows;
  auto found = windows.find(id);
  return found == windows.end() ? nullptr : found->second.get();
}

Window* FindLocked(HWND window) { return FindLocked(IdOf(window)); }

ThreadQueue* QueueLocked(DWORD threadId) {
  auto found = Model().queues.find(threadId);
  return found == Model().queues.end() ? nullptr : found->second.get();
}

std::shared_ptr<ThreadQueue> CurrentQueueLocked() {
  if (!currentQueue.queue) {
    auto queue = std::make_shared<ThreadQueue>();
    queue->threadId = ThisThreadId();
    Model().queues[queue->threadId] = queue;
    currentQueue.queue = queue;
  }
  return currentQueue.queue;
}

uint32_t RootLocked(uint32_t id) {
  Window* w = FindLocked(id);
  while (w && w->parent) {
    id = w->parent;
    w = FindLocked(id);
  }
  return w ? id : 0;
}

bool IsDescendantLocked(uint32_t ancestor, uint32_t id) {
  for (Window* w = FindLocked(id); w; w = FindLocked(w->parent))
    if (w->parent == ancestor) return true;
  return false;
}

bool IsVisibleLocked(const Window& window) {
  for (const Window* w = &window; w; w = FindLocked(w->parent))
    if (!(w->style & WS_VISIBLE)) return false;
  return true;
}

void WakeAllLocked() {
  for (auto& [id, queue] : Model().queues) queue->wake.notify_all();
}

uint64_t NowLocked() { return twl::ClockMilliseconds(); }

int64_t NextStampLocked() { return NextZOrderStamp(); }

LRESULT Deliver(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  WNDPROC proc = nullptr;
  {
    Guard guard(Lock());
    Window* w = FindLocked(window);
    if (!w) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return 0;
    }
    proc = w->proc;
  }
  if (!proc) return DefWindowProcA(window, message, wParam, lParam);
  return proc(window, message, wParam, lParam);
}

bool RunOneIncoming(Guard& guard, ThreadQueue& queue) {
  if (queue.incoming.empty()) return false;
  auto item = queue.incoming.front();
  queue.incoming.pop_front();
  ++queue.sendDepth;
  guard.unlock();
  LRESULT result = 0;
  try {
    result = item->run();
  } catch (...) {
    // A procedure must not throw across the queue; the sender gets 0.
  }
  guard.lock();
  --queue.sendDepth;
  item->result = result;
  item->done = true;
  if (item->waiter) item->waiter->wake.notify_all();
  return true;
}

void WaitForReply(Guard& guard, const std::shared_ptr<ThreadQueue>& self, const std::shared_ptr<Incoming>& item) {
  while (!item->done) {
    if (RunOneIncoming(guard, *self)) continue;
    self->wake.wait(guard);
  }
}

LRESULT SendLocal(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Guard guard(Lock());
  Window* w = FindLocked(window);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  if (w->threadId == ThisThreadId()) {
    guard.unlock();
    return Deliver(window, message, wParam, lParam);
  }
  ThreadQueue* target = QueueLocked(w->threadId);
  if (!target || !target->alive) return 0;
  auto self = CurrentQueueLocked();
  auto item = std::make_shared<Incoming>();
  item->run = [=] { return Deliver(window, message, wParam, lParam); };
  item->waiter = self;
  target->incoming.push_back(item);
  target->wake.notify_all();
  WaitForReply(guard, self, item);
  return item->result;
}

void RunOnThread(DWORD threadId, std::function<void()> fn) {
  if (threadId == ThisThreadId()) {
    fn();
    return;
  }
  Guard guard(Lock());
  ThreadQueue* target = QueueLocked(threadId);
  if (!target || !target->alive) return;
  auto item = std::make_shared<Incoming>();
  item->run = [fn = std::move(fn)] {
    fn();
    return LRESULT{0};
  };
  target->incoming.push_back(item);
  target->wake.notify_all();
}


}  // namespace twl::user
