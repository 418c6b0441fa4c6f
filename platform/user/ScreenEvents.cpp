#include "ScreenEvents.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>

#include "WindowManager.h"
#include "twlwin/errors.h"
#include "twlwin/regions.h"

namespace twl::user {

namespace {

struct Listener {
  DWORD cookie = 0;
  TWLSCREENLISTENER call = nullptr;
  void* context = nullptr;
  int running = 0;  // calls under way
  bool removed = false;
};

struct Listeners {
  std::mutex lock;
  std::condition_variable idle;
  std::vector<std::shared_ptr<Listener>> all;
  DWORD nextCookie = 1;
  std::atomic<int> count{0};
};

Listeners& ScreenListeners() {
  static auto* listeners = new Listeners;
  return *listeners;
}

// The listeners this thread is calling now, innermost first, so that one
// may remove itself. A chain through the callers' frames: nothing to
// destroy when the thread ends (windows are torn down as threads end).
struct Calling {
  const Listener* listener;
  const Calling* outer;
};
thread_local const Calling* callingNow = nullptr;

int CallsOnThisThread(const Listener* listener) {
  int count = 0;
  for (const Calling* c = callingNow; c; c = c->outer) count += c->listener == listener;
  return count;
}

void TellOne(const TWLSCREENEVENT& event) {
  Listeners& listeners = ScreenListeners();
  std::vector<std::shared_ptr<Listener>> snapshot;
  {
    std::lock_guard guard(listeners.lock);
    snapshot = listeners.all;
  }
  for (auto& listener : snapshot) {
    {
      std::lock_guard guard(listeners.lock);
      if (listener->removed) continue;
      ++listener->running;
    }
    Calling calling{listener.get(), callingNow};
    callingNow = &calling;
    listener->call(&event, listener->context);
    callingNow = calling.outer;
    std::lock_guard guard(listeners.lock);
    if (--listener->running == 0) listeners.idle.notify_all();
  }
}

RECT InRootCoordinates(const Window& w, const RECT& screenArea) {
  const Window* root = FindLocked(RootLocked(w.id));
  RECT origin = root ? ScreenRectLocked(*root) : RECT{};
  RECT r = screenArea;
  OffsetRect(&r, -origin.left, -origin.top);
  return r;
}

}  // namespace

bool AnyScreenListener() { return ScreenListeners().count.load(std::memory_order_relaxed) > 0; }

void ScreenChanges::AddLocked(UINT kind, const Window& w, const RECT& area) {
  if (!AnyScreenListener() || w.messageOnly) return;
  if (!w.parent) {
    bool saysRect = kind == TWL_SCREEN_CREATED || kind == TWL_SCREEN_SHOWN || kind == TWL_SCREEN_MOVED ||
                    kind == TWL_SCREEN_RESIZED;
    events_.push_back(TWLSCREENEVENT{kind, HwndOf(w.id), saysRect ? area : RECT{0, 0, 0, 0}});
    return;
  }
  events_.push_back(TWLSCREENEVENT{TWL_SCREEN_PIXELS, HwndOf(RootLocked(w.id)), InRootCoordinates(w, area)});
}

void ScreenChanges::AddPixelsLocked(const Window& w, const RECT& area) {
  if (!AnyScreenListener() || w.messageOnly) return;
  RECT screen = ScreenRectLocked(w);
  RECT onScreen = area;
  OffsetRect(&onScreen, screen.left, screen.top);
  events_.push_back(TWLSCREENEVENT{TWL_SCREEN_PIXELS, HwndOf(RootLocked(w.id)), InRootCoordinates(w, onScreen)});
}

void ScreenChanges::Tell() {
  auto events = std::move(events_);
  events_.clear();
  for (const TWLSCREENEVENT& event : events) TellOne(event);
}

void TellPixelsChanged(uint32_t window, const RECT& area) {
  if (!AnyScreenListener()) return;
  ScreenChanges changes;
  {
    Guard guard(Lock());
    if (const Window* w = FindLocked(window)) changes.AddPixelsLocked(*w, area);
  }
  changes.Tell();
}

void TellDesktopChange(UINT kind, HWND window) {
  if (!AnyScreenListener()) return;
  TellOne(TWLSCREENEVENT{kind, window, RECT{0, 0, 0, 0}});
}

}  // namespace twl::user

using namespace twl::user;

TWLAPI DWORD TwlAddScreenListener(TWLSCREENLISTENER listener, void* context) {
  if (!listener) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  Listeners& listeners = ScreenListeners();
  std::lock_guard guard(listeners.lock);
  auto entry = std::make_shared<Listener>();
  entry->cookie = listeners.nextCookie++;
  entry->call = listener;
  entry->context = context;
  listeners.all.push_back(entry);
  ++listeners.count;
  return entry->cookie;
}

TWLAPI BOOL TwlRemoveScreenListener(DWORD cookie) {
  Listeners& listeners = ScreenListeners();
  std::unique_lock guard(listeners.lock);
  auto found = std::find_if(listeners.all.begin(), listeners.all.end(),
                            [cookie](const auto& entry) { return entry->cookie == cookie; });
  if (!cookie || found == listeners.all.end()) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::shared_ptr<Listener> entry = *found;
  listeners.all.erase(found);
  entry->removed = true;
  --listeners.count;
  // Calls already under way finish first, except this thread's own.
  int own = CallsOnThisThread(entry.get());
  listeners.idle.wait(guard, [&] { return entry->running <= own; });
  return TRUE;
}
