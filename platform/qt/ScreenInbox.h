// What the window model told the presenter, collected for the Qt thread.
// The model's listener runs on whatever thread made a change; it only
// files the event here and, when the inbox was empty, wakes the Qt thread
// once. New pixels of a window fold into one rectangle until the Qt thread
// takes them, so a burst of drawing costs one present. Thread-safe; the
// inbox's lock is held only while filing or taking, never while calling
// the model or Qt.
#pragma once

#include <functional>
#include <mutex>
#include <utility>
#include <vector>

#include <windows.h>

#include "twlwin/presenter.h"

namespace twl::qt {

class ScreenInbox {
 public:
  struct Batch {
    std::vector<TWLSCREENEVENT> changes;          // in the order they came, pixels and desktop kinds aside
    std::vector<std::pair<HWND, RECT>> pixels;    // window coordinates
    bool cursor = false;
    bool tray = false;
  };

  explicit ScreenInbox(std::function<void()> wake) : wake_(std::move(wake)) {}
  ScreenInbox(const ScreenInbox&) = delete;
  ScreenInbox& operator=(const ScreenInbox&) = delete;

  void File(const TWLSCREENEVENT& event);
  Batch TakeAll();

 private:
  std::mutex lock_;
  Batch waiting_;
  bool wakeSent_ = false;
  std::function<void()> wake_;
};

}  // namespace twl::qt
