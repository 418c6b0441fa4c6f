#include "plugins/netvarra/sockets/EventFunctions.h"

#include "foundation/errors/LocalText.h"
#include "foundation/kernel/Error.h"

namespace {

[[noreturn]] void ThrowWaitFailed() {
  ThrowError<CError>(LocalText("WaitForObjectFailed.Caption", "Windows error"),
                     LocalText("WaitForObjectFailed.Text", "Wait function failed."));
}

}  // namespace

HANDLE CreateManualResetEvent() {
  HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  if (!event)
    ThrowError<CError>(LocalText("CreateEventFailed.Caption", "Event error"),
                       LocalText("CreateEventFailed.Text", "Unable to create event object"));
  return event;
}

int WaitForEvents(const HANDLE* handles, DWORD count, bool waitForAll, DWORD timeoutMs) {
  const DWORD result = WaitForMultipleObjects(count, handles, waitForAll ? TRUE : FALSE, timeoutMs);
  if (result == WAIT_TIMEOUT) return -1;
  if (result == WAIT_FAILED) ThrowWaitFailed();
  if (result >= WAIT_ABANDONED_0 && result < WAIT_ABANDONED_0 + count) return static_cast<int>(result - WAIT_ABANDONED_0);
  return static_cast<int>(result - WAIT_OBJECT_0);
}

bool IsEventSignalled(HANDLE handle, DWORD timeoutMs) {
  const DWORD result = WaitForSingleObject(handle, timeoutMs);
  if (result == WAIT_FAILED) ThrowWaitFailed();
  return result != WAIT_TIMEOUT;
}

void CloseEvent(HANDLE handle) { CloseHandle(handle); }

void CloseEvents(std::initializer_list<HANDLE*> events) {
  for (HANDLE* event : events) {
    if (*event) CloseEvent(*event);
    *event = nullptr;
  }
}

void ResetEventHandle(HANDLE handle) { ResetEvent(handle); }
