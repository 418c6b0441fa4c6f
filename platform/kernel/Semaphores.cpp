#include "KernelObject.h"
#include "NamedObjects.h"
#include "twlwin/sync.h"

namespace twl {
namespace {

class SemaphoreObject final : public Waitable {
 public:
  SemaphoreObject(LONG count, LONG maximum) : Waitable(ObjectKind::Semaphore), count_(count), maximum_(maximum) {}

  bool IsReady(DWORD) override { return count_ > 0; }
  AcquireResult Acquire(DWORD) override {
    --count_;
    return AcquireResult::Acquired;
  }

  // Under the dispatcher lock.
  bool Release(LONG amount, LONG* previous) {
    if (amount <= 0 || amount > maximum_ - count_) return false;
    if (previous) *previous = count_;
    count_ += amount;
    return true;
  }

 private:
  LONG count_;
  LONG maximum_;
};

}  // namespace
}  // namespace twl

TWLAPI HANDLE CreateSemaphoreA(LPSECURITY_ATTRIBUTES, LONG initialCount, LONG maximumCount, LPCSTR name) {
  if (maximumCount <= 0 || initialCount < 0 || initialCount > maximumCount) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto make = [&]() -> std::shared_ptr<twl::KernelObject> {
    return std::make_shared<twl::SemaphoreObject>(initialCount, maximumCount);
  };
  if (!name) {
    HANDLE handle = twl::InsertHandle(make());
    if (handle) SetLastError(ERROR_SUCCESS);
    return handle;
  }
  return twl::OpenOrCreateNamed(name, twl::ObjectKind::Semaphore, make).handle;
}

TWLAPI BOOL ReleaseSemaphore(HANDLE semaphore, LONG releaseCount, LPLONG previousCount) {
  auto object = twl::FindHandleAs<twl::SemaphoreObject>(semaphore, twl::ObjectKind::Semaphore);
  if (!object) return FALSE;
  std::lock_guard lock(twl::DispatcherLock());
  if (!object->Release(releaseCount, previousCount)) {
    SetLastError(ERROR_TOO_MANY_POSTS);
    return FALSE;
  }
  object->WakeWaiters();
  return TRUE;
}
