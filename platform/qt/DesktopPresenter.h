// The presenter's heart, living on the Qt thread: it hears the window
// model's changes (through a ScreenInbox, so the model's threads never wait
// for Qt), keeps one real window per top-level window of the model, shows
// tracked menus as real menus and the tray icons as real ones. The model's
// threads reach it only by filing events and by asking for a menu; it
// reaches the model only through the presenter seam's calls, which take
// the model's locks briefly and never wait for a window's thread.
#pragma once

#include <QObject>
#include <QPointer>

#include <map>
#include <memory>
#include <vector>

#include <windows.h>

#include "ScreenInbox.h"

class QMenu;
#include "TrayIcons.h"

namespace twl::qt {

class RealWindow;

class DesktopPresenter : public QObject {
 public:
  DesktopPresenter();
  ~DesktopPresenter() override;

  // Starts listening and takes on the windows that exist already.
  void Attach();
  // Stops listening; menus still open are answered as dismissed.
  void Detach();

 protected:
  bool event(QEvent* event) override;

 private:
  static void CALLBACK OnScreenChange(const TWLSCREENEVENT* event, void* context);
  static int CALLBACK OnMenu(HMENU menu, UINT flags, int x, int y, HWND owner, void* context);
  void Drain();
  void Apply(const TWLSCREENEVENT& change);
  RealWindow* Ensure(HWND window);
  void FollowOwner(RealWindow* window);
  void FollowCursor();
  void FollowCapture(HWND window);

  ScreenInbox inbox_;
  DWORD cookie_ = 0;
  std::map<HWND, std::unique_ptr<RealWindow>> windows_;
  std::unique_ptr<TrayIcons> tray_;
  std::vector<QPointer<QMenu>> menus_;  // menus shown; null once gone
  HWND grabbing_ = nullptr;  // the model window whose real one holds the pointer
};

}  // namespace twl::qt
