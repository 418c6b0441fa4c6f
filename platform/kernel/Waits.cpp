#include <algorithm>
#include <chrono>
#include <vector>

#include "KernelObject.h"
#include "twlwin/sync.h"
#include "twlwin/threads.h"

namespace twl {
namespace {

using Clock = std::chrono::steady_clock;

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

DWORD Wait(const std::vector<std::shared_ptr<Waitable>>& objects, bool waitAll, DWORD milliseconds) {
  const DWORD threadId = GetCurrentThreadId();
  const bool polling =
      std::any_of(objects.begin(), objects.end(), [](const auto& object) { return object->NeedsPolling(); });
  const auto deadline = Clock::now() + std::chrono::milliseconds(milliseconds);
  std::unique_lock lock(DispatcherLock());
  for (;;) {
    DWORD result = TryOnce(objects, waitAll, threadId);
    if (result != WAIT_TIMEOUT) return result;
    if (milliseconds == 0) return WAIT_TIMEOUT;
    auto wakeAt = milliseconds == INFINITE ? Clock::time_point::max() : deadline;
    if (polling) wakeAt = std::min(wakeAt, Clock::now() + kPollInterval);
    if (wakeAt == Clock::time_point::max()) {
      DispatcherSignal().wait(lock);
    } else {
      DispatcherSignal().wait_until(lock, wakeAt);
    }
    if (milliseconds != INFINITE && Clock::now() >= deadline) {
      result = TryOnce(objects, waitAll, threadId);
      return result;
    }
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
