#include <string>

#include "KernelObject.h"
#include "NamedObjects.h"
#include "twlwin/sync.h"

namespace twl {
namespace {

class EventObject final : public Waitable {
 public:
  EventObject(bool manualReset, bool signalled)
      : Waitable(ObjectKind::Event), manualReset_(manualReset), signalled_(signalled) {}

  bool IsReady(DWORD) override { return signalled_; }
  AcquireResult Acquire(DWORD) override {
    if (!manualReset_) signalled_ = false;
    return AcquireResult::Acquired;
  }

  void Set(bool signalled) { signalled_ = signalled; }

 private:
  bool manualReset_;
  bool signalled_;
};

BOOL ChangeEvent(HANDLE handle, bool signalled) {
  auto event = FindHandleAs<EventObject>(handle, ObjectKind::Event);
  if (!event) return FALSE;
  std::lock_guard lock(DispatcherLock());
  event->Set(signalled);
  if (signalled) event->WakeWaiters();
  return TRUE;
}

}  // namespace
}  // namespace twl

TWLAPI HANDLE CreateEventA(LPSECURITY_ATTRIBUTES, BOOL manualReset, BOOL initialState, LPCSTR name) {
  auto make = [&]() -> std::shared_ptr<twl::KernelObject> {
    return std::make_shared<twl::EventObject>(manualReset != FALSE, initialState != FALSE);
  };
  if (!name) {
    HANDLE handle = twl::InsertHandle(make());
    if (handle) SetLastError(ERROR_SUCCESS);
    return handle;
  }
  return twl::OpenOrCreateNamed(name, twl::ObjectKind::Event, make).handle;
}

TWLAPI HANDLE OpenEventA(DWORD, BOOL, LPCSTR name) {
  if (!name) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return twl::OpenOrCreateNamed(name, twl::ObjectKind::Event, nullptr).handle;
}

TWLAPI BOOL SetEvent(HANDLE event) { return twl::ChangeEvent(event, true); }

TWLAPI BOOL ResetEvent(HANDLE event) { return twl::ChangeEvent(event, false); }
