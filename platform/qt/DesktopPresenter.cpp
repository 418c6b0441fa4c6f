#include "DesktopPresenter.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMenu>
#include <QPointer>

#include <unistd.h>

#include <future>

#include "IconImages.h"
#include "MenuPopup.h"
#include "RealWindow.h"

namespace twl::qt {

namespace {

const QEvent::Type kWake = static_cast<QEvent::Type>(QEvent::User + 1);

BOOL CALLBACK CollectOwnWindow(HWND window, LPARAM list) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process == static_cast<DWORD>(getpid())) reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
  return TRUE;
}

}  // namespace

DesktopPresenter::DesktopPresenter()
    : inbox_([this] { QCoreApplication::postEvent(this, new QEvent(kWake)); }), tray_(std::make_unique<TrayIcons>()) {}

DesktopPresenter::~DesktopPresenter() { Detach(); }

void DesktopPresenter::Attach() {
  cookie_ = TwlAddScreenListener(&DesktopPresenter::OnScreenChange, this);
  TwlSetMenuPresenter(&DesktopPresenter::OnMenu, this);
  std::vector<HWND> existing;
  EnumWindows(&CollectOwnWindow, reinterpret_cast<LPARAM>(&existing));
  // EnumWindows goes from the top: raise from the bottom up.
  for (auto it = existing.rbegin(); it != existing.rend(); ++it) {
    RealWindow* window = Ensure(*it);
    FollowOwner(window);
    window->FollowModel();
    window->RaiseAsModel();
  }
  tray_->FollowModel();
}

void DesktopPresenter::Detach() {
  if (!cookie_) return;
  TwlSetMenuPresenter(nullptr, nullptr);
  TwlRemoveScreenListener(cookie_);
  cookie_ = 0;
  // Menus still open answer "dismissed" as they go.
  for (QPointer<QMenu>& menu : menus_) delete menu.data();
  menus_.clear();
}

void CALLBACK DesktopPresenter::OnScreenChange(const TWLSCREENEVENT* event, void* context) {
  static_cast<DesktopPresenter*>(context)->inbox_.File(*event);
}

// On the thread that tracks the menu: the Qt thread shows it, this thread
// waits for the answer. The Qt thread never waits for this one, so the
// wait ends when the user chooses, dismisses, or the presenter goes.
int CALLBACK DesktopPresenter::OnMenu(HMENU menu, UINT, int x, int y, HWND, void* context) {
  auto* presenter = static_cast<DesktopPresenter*>(context);
  auto answer = std::make_shared<std::promise<int>>();
  std::future<int> chosen = answer->get_future();
  // The promise is kept by the call itself: if the presenter's loop ends
  // before running it, destroying the call answers "dismissed".
  struct Keeper {
    std::shared_ptr<std::promise<int>> promise;
    bool given = false;
    ~Keeper() {
      if (!given && promise) promise->set_value(0);
    }
  };
  auto keeper = std::make_shared<Keeper>();
  keeper->promise = answer;
  bool queued = QMetaObject::invokeMethod(
      presenter,
      [presenter, menu, x, y, keeper] {
        QMenu* shown = PopUpModelMenu(menu, QPoint(x, y), [keeper](int id) {
          if (keeper->given) return;
          keeper->given = true;
          keeper->promise->set_value(id);
        });
        std::erase_if(presenter->menus_, [](const QPointer<QMenu>& gone) { return gone.isNull(); });
        if (shown) presenter->menus_.emplace_back(shown);
      },
      Qt::QueuedConnection);
  keeper.reset();
  if (!queued) return -1;
  return chosen.get();
}

bool DesktopPresenter::event(QEvent* event) {
  if (event->type() != kWake) return QObject::event(event);
  Drain();
  return true;
}

void DesktopPresenter::Drain() {
  ScreenInbox::Batch batch = inbox_.TakeAll();
  for (const TWLSCREENEVENT& change : batch.changes) Apply(change);
  for (const auto& [window, area] : batch.pixels) {
    auto found = windows_.find(window);
    if (found != windows_.end()) found->second->Present(area);
  }
  if (batch.cursor) FollowCursor();
  if (batch.tray) tray_->FollowModel();
}

RealWindow* DesktopPresenter::Ensure(HWND window) {
  auto& entry = windows_[window];
  if (!entry) entry = std::make_unique<RealWindow>(window);
  return entry.get();
}

void DesktopPresenter::Apply(const TWLSCREENEVENT& change) {
  if (change.kind == TWL_SCREEN_CAPTURE) {
    FollowCapture(change.window);
    return;
  }
  if (change.kind == TWL_SCREEN_DESTROYED) {
    if (grabbing_ == change.window) grabbing_ = nullptr;
    windows_.erase(change.window);
    return;
  }
  if (!IsWindow(change.window)) return;  // gone since: its DESTROYED follows
  RealWindow* window = Ensure(change.window);
  switch (change.kind) {
    case TWL_SCREEN_CREATED:
    case TWL_SCREEN_SHOWN:
    case TWL_SCREEN_HIDDEN:
    case TWL_SCREEN_MOVED:
    case TWL_SCREEN_RESIZED:
    case TWL_SCREEN_RESHAPED:
      FollowOwner(window);
      window->FollowModel();
      break;
    case TWL_SCREEN_ZORDER:
      FollowOwner(window);
      window->RaiseAsModel();
      break;
  }
}

// An owned window stands above its owner on the desktop too: the window
// manager keeps a transient window above the one it is transient for,
// even when the user raises the owner there before the model hears of it.
void DesktopPresenter::FollowOwner(RealWindow* window) {
  HWND owner = GetWindow(window->Model(), GW_OWNER);
  auto found = owner ? windows_.find(owner) : windows_.end();
  RealWindow* shown = found != windows_.end() && found->second->isVisible() ? found->second.get() : nullptr;
  if (window->transientParent() != shown) window->setTransientParent(shown);
}

// The model's capture holds the pointer: its window gets every mouse
// event, wherever the pointer is, until the model lets go.
void DesktopPresenter::FollowCapture(HWND window) {
  auto real = [&](HWND model) -> RealWindow* {
    auto found = windows_.find(model);
    return found != windows_.end() && found->second->isVisible() ? found->second.get() : nullptr;
  };
  if (grabbing_ == window) return;
  if (RealWindow* previous = real(grabbing_)) previous->setMouseGrabEnabled(false);
  grabbing_ = nullptr;
  if (RealWindow* next = real(window); next && next->setMouseGrabEnabled(true)) grabbing_ = window;
}

void DesktopPresenter::FollowCursor() {
  QCursor cursor = CursorOnShow();
  for (auto& [model, window] : windows_) window->setCursor(cursor);
}

}  // namespace twl::qt
