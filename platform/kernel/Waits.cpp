#include <algorithm>
#include <chrono>
#include <vector>

#include "Clock.h"
#include "KernelObject.h"
#include "twlwin/sync.h"
#include "twlwin/threads.h"

namespace twl {
namespace {

// How often a wait looks again at objects that other processes change.
constexpr auto kPollInterval = std::chrono::milliseconds(5);

bool CollectWaitables(DWORD count, const HANDLE* handles, std::vector<std::shared_ptr<Waitable>>* objects) {
  for (DWORD i = 0; i < count; ++i) {
    auto waitable = std::dynamic_pointer_cast<Waitable>(FindHandle(handles[i]));
    if (!waitable) {
      SetLastError(ERROR_INVALID_HANDLE);
      return false;
    }
    objects->push_back(std::move(waitable));
  }
  return true;
}

bool HasDuplicates(std::vector<std::shared_ptr<Waitable>> objects) {
  std::sort(objects.begin(), objects.end());
  return std::adjacent_find(objects.begin(), objects.end()) != objects.end();
}

// Tries once to satisfy the wait; returns the wait result or WAIT_TIMEOUT.
// Under the dispatcher lock.
DWORD TryOnce(const std::vector<std::shared_ptr<Waitable>>& objects, bool waitAll, DWORD threadId) {
  if (!waitAll) {
    for (size_t i = 0; i < objects.size(); ++i) {
      if (!objects[i]->IsReady(threadId)) continue;
      bool abandoned = objects[i]->Acquire(threadId) == AcquireResult::Abandoned;
      return (abandoned ? WAIT_ABANDONED_0 : WAIT_OBJECT_0) + static_cast<DWORD>(i);
    }
    return WAIT_TIMEOUT;
  }
  bool allReady = true;
  for (auto& object : objects) allReady = object->IsReady(threadId) && allReady;
  if (!allReady) {
    for (auto& object : objects) object->Unready();
    return WAIT_TIMEOUT;
  }
  DWORD result = WAIT_OBJECT_0;
  for (size_t i = 0; i < objects.size(); ++i) {
    bool abandoned = objects[i]->Acquire(threadId) == AcquireResult::Abandoned;
    if (abandoned && result == WAIT_OBJECT_0) result = WAIT_ABANDONED_0 + static_cast<DWORD>(i);
  }
  return result;
}

// The waits that have a time-out, so that a move of the manual clock can
// wake them to look at it. Under the dispatcher lock.
std::vector<Waiter*>& TimedWaits() {
  static auto* waits = new std::vector<Waiter*>;
  return *waits;
}

void WakeTimedWaits() {
  std::lock_guard lock(DispatcherLock());
  for (Waiter* waiter : TimedWaits()) waiter->wake.notify_one();
}

// Registers a wait with its objects (and the clock) for as long as it lasts.
class Registration {
 public:
  Registration(Waiter& waiter, const std::vector<std::shared_ptr<Waitable>>& objects, bool timed)
      : waiter_(waiter), objects_(objects), timed_(timed) {
    static const bool watching = (AddClockWatcher(WakeTimedWaits), true);
    (void)watching;
    for (auto& object : objects_) object->AddWaiter(&waiter_);
    if (timed_) TimedWaits().push_back(&waiter_);
  }
  ~Registration() {
    for (auto& object : objects_) object->RemoveWaiter(&waiter_);
    if (timed_) std::erase(TimedWaits(), &waiter_);
  }

 private:
  Waiter& waiter_;
  const std::vector<std::shared_ptr<Waitable>>& objects_;
  bool timed_;
};

DWORD Wait(const std::vector<std::shared_ptr<Waitable>>& objects, bool waitAll, DWORD milliseconds) {
  const DWORD threadId = GetCurrentThreadId();
  const bool polling =
      std::any_of(objects.begin(), objects.end(), [](const auto& object) { return object->NeedsPolling(); });
  const bool timed = milliseconds != INFINITE;
  const uint64_t deadline = ClockMilliseconds() + milliseconds;  // on the layer's clock
  std::unique_lock lock(DispatcherLock());
  DWORD result = TryOnce(objects, waitAll, threadId);
  if (result != WAIT_TIMEOUT || milliseconds == 0) return result;
  Waiter waiter;
  Registration registration(waiter, objects, timed);
  for (;;) {
    // Real time to sleep at most: until the deadline on the real clock, a
    // poll of other processes' objects, or (manual clock) a clock move.
    auto sleep = std::chrono::milliseconds::max();
    if (timed && !ClockIsManual()) {
      uint64_t now = ClockMilliseconds();
      sleep = std::chrono::milliseconds(deadline > now ? deadline - now : 0);
    }
    if (polling) sleep = std::min<std::chrono::milliseconds>(sleep, kPollInterval);
    if (sleep == std::chrono::milliseconds::max())
      waiter.wake.wait(lock);
    else
      waiter.wake.wait_for(lock, sleep);
    result = TryOnce(objects, waitAll, threadId);
    if (result != WAIT_TIMEOUT) return result;
    if (timed && ClockMilliseconds() >= deadline) return WAIT_TIMEOUT;
  }
}

}  // namespace
}  // namespace twl

TWLAPI DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
  return WaitForMultipleObjects(1, &handle, FALSE, milliseconds);
}

TWLAPI DWORD WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds) {
  if (count == 0 || count > MAXIMUM_WAIT_OBJECTS || !handles) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return WAIT_FAILED;
  }
  std::vector<std::shared_ptr<twl::Waitable>> objects;
  if (!twl::CollectWaitables(count, handles, &objects)) return WAIT_FAILED;
  if (waitAll && count > 1 && twl::HasDuplicates(objects)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return WAIT_FAILED;
  }
  return twl::Wait(objects, waitAll != FALSE, milliseconds);
}
