// The library's two entry points, called by libtwlwin's TwlStartPresenter
// and TwlStopPresenter: the Qt thread with its application object and the
// presenter. Qt runs on a thread of its own, so the model's threads keep
// their own message loops as on Windows.
#include <xcb/xcb.h>

#include <QApplication>

#include <cstdlib>
#include <future>
#include <mutex>
#include <thread>

#include "DesktopPresenter.h"

namespace {

struct QtThread {
  std::mutex lock;
  std::thread thread;
  QApplication* application = nullptr;  // guarded by lock; lives on the thread
};

QtThread& Running() {
  static auto* running = new QtThread;  // never destroyed: stopped at exit
  return *running;
}

// Qt ends the process when it cannot reach the display: find out first.
bool DisplayReachable() {
  if (!std::getenv("DISPLAY")) return std::getenv("WAYLAND_DISPLAY") != nullptr;
  xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
  bool reachable = connection && !xcb_connection_has_error(connection);
  if (connection) xcb_disconnect(connection);
  return reachable;
}

void RunQt(std::promise<bool>* started) {
  // On an X display Qt runs on X even in a Wayland session (through
  // XWayland): shapes and placing windows need it.
  static char name[] = "twl";
  static char platformOption[] = "-platform";
  static char xcb[] = "xcb";
  static char* argv[] = {name, platformOption, xcb, nullptr};
  static int argc = std::getenv("DISPLAY") ? 3 : 1;
  QApplication application(argc, argv);
  application.setQuitOnLastWindowClosed(false);
  twl::qt::DesktopPresenter presenter;
  presenter.Attach();
  {
    std::lock_guard guard(Running().lock);
    Running().application = &application;
  }
  started->set_value(true);
  application.exec();
  presenter.Detach();
  std::lock_guard guard(Running().lock);
  Running().application = nullptr;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) void TwlQtPresenterStop() {
  QtThread& running = Running();
  std::thread thread;
  {
    std::lock_guard guard(running.lock);
    if (!running.thread.joinable()) return;
    if (running.application) QMetaObject::invokeMethod(running.application, &QCoreApplication::quit, Qt::QueuedConnection);
    thread = std::move(running.thread);
  }
  thread.join();
}

extern "C" __attribute__((visibility("default"))) int TwlQtPresenterStart() {
  QtThread& running = Running();
  {
    std::lock_guard guard(running.lock);
    if (running.thread.joinable()) return 1;
  }
  if (!DisplayReachable()) return 0;
  std::promise<bool> started;
  std::future<bool> ready = started.get_future();
  std::thread thread(RunQt, &started);
  bool ok = ready.get();
  {
    std::lock_guard guard(running.lock);
    running.thread = std::move(thread);
  }
  static std::once_flag atExit;
  std::call_once(atExit, [] { std::atexit(TwlQtPresenterStop); });
  return ok ? 1 : 0;
}
