// Starting the desktop presenter: a separate library (libtwlqt.so, beside
// this one) that only a program on a real desktop loads, so headless runs
// and the tests never need a display or Qt.
#include <dlfcn.h>

#include <cstdio>
#include <mutex>
#include <string>

#include "platform/kernel/Headless.h"
#include "twlwin/presenter.h"

namespace {

struct PresenterLibrary {
  std::mutex lock;
  void* handle = nullptr;
  void (*stop)() = nullptr;
};

PresenterLibrary& Loaded() {
  static auto* library = new PresenterLibrary;  // never destroyed: stopped at exit by its owner
  return *library;
}

std::string PresenterPath() {
  Dl_info info{};
  std::string path;
  if (dladdr(reinterpret_cast<const void*>(&TwlStartPresenter), &info) && info.dli_fname) path = info.dli_fname;
  std::string::size_type slash = path.find_last_of('/');
  return (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) + "libtwlqt.so";
}

}  // namespace

TWLAPI BOOL TwlStartPresenter(void) {
  if (!twl::HasDesktop()) return FALSE;
  PresenterLibrary& library = Loaded();
  std::lock_guard guard(library.lock);
  if (library.handle) return TRUE;
  void* handle = dlopen(PresenterPath().c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    std::fprintf(stderr, "twl: no desktop presenter, running headless: %s\n", dlerror());
    return FALSE;
  }
  auto start = reinterpret_cast<int (*)()>(dlsym(handle, "TwlQtPresenterStart"));
  auto stop = reinterpret_cast<void (*)()>(dlsym(handle, "TwlQtPresenterStop"));
  if (!start || !stop || !start()) {
    std::fprintf(stderr, "twl: the desktop presenter did not start, running headless\n");
    dlclose(handle);
    return FALSE;
  }
  library.handle = handle;
  library.stop = stop;
  return TRUE;
}

TWLAPI void TwlStopPresenter(void) {
  PresenterLibrary& library = Loaded();
  std::lock_guard guard(library.lock);
  if (!library.handle) return;
  library.stop();
  // Qt's libraries stay loaded: unloading them while their threads' exit
  // handlers are registered is not safe.
  library.handle = nullptr;
  library.stop = nullptr;
}
