// The model's notification-area icons as real tray icons (an XEmbed tray
// or the desktop's own): each with its picture and tip; a click on one
// sends its callback message to its window with the mouse message in
// lParam, as the shell does. Qt thread.
#pragma once

#include <QObject>

#include <map>
#include <memory>
#include <utility>

#include <windows.h>

class QSystemTrayIcon;

namespace twl::qt {

class TrayIcons {
 public:
  TrayIcons();
  ~TrayIcons();
  TrayIcons(const TrayIcons&) = delete;
  TrayIcons& operator=(const TrayIcons&) = delete;

  // Adds, changes and removes real icons until they match the model's.
  void FollowModel();

 private:
  struct Shown;
  std::unique_ptr<QObject> names_;
  std::map<std::pair<HWND, UINT>, std::unique_ptr<Shown>> shown_;
};

}  // namespace twl::qt
