// FindFirstChangeNotificationA / FindNextChangeNotification /
// FindCloseChangeNotification over inotify. The inotify descriptor is read
// without blocking whenever a wait looks at the handle (waits poll it), so
// events stay queued in the kernel until someone asks. Re-arming clears
// only what earlier looks have seen: changes made while the owner was busy
// with the last ones signal the handle again at the next look.
#include <fcntl.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <memory>

#include "PathResolver.h"
#include "platform/kernel/ErrnoMap.h"
#include "platform/kernel/KernelObject.h"
#include "twlwin/errors.h"
#include "twlwin/files.h"

namespace twl {
namespace {

constexpr DWORD kKnownFilters =
    FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME | FILE_NOTIFY_CHANGE_LAST_WRITE;

// Events that say the watched folder is gone (or no longer watched).
constexpr uint32_t kFolderGone = IN_DELETE_SELF | IN_IGNORED | IN_UNMOUNT;

uint32_t InotifyMaskOf(DWORD filter) {
  uint32_t mask = IN_DELETE_SELF;
  if (filter & (FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME)) {
    mask |= IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO;
  }
  // A closed writer: the file's content is complete now.
  if (filter & (FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_LAST_WRITE)) mask |= IN_CLOSE_WRITE;
  if (filter & FILE_NOTIFY_CHANGE_LAST_WRITE) mask |= IN_MODIFY;
  return mask;
}

class ChangeNotification final : public Waitable {
 public:
  ChangeNotification(int descriptor, DWORD filter)
      : Waitable(ObjectKind::ChangeNotification), descriptor_(descriptor), filter_(filter) {}
  ~ChangeNotification() override { close(descriptor_); }

  bool IsReady(DWORD) override {
    ReadPendingEvents();
    return signalled_ || gone_;
  }
  // Stays signalled: only re-arming clears it.
  AcquireResult Acquire(DWORD) override { return AcquireResult::Acquired; }
  bool NeedsPolling() const override { return true; }

  // Under the dispatcher lock. False when the folder is gone.
  bool Rearm() {
    signalled_ = false;
    return !gone_;
  }

 private:
  void ReadPendingEvents() {
    alignas(inotify_event) char buffer[4096];
    for (;;) {
      const ssize_t got = read(descriptor_, buffer, sizeof buffer);
      if (got <= 0) return;  // EAGAIN: nothing more queued
      for (ssize_t offset = 0; offset + static_cast<ssize_t>(sizeof(inotify_event)) <= got;) {
        const auto* event = reinterpret_cast<const inotify_event*>(buffer + offset);
        Take(event->mask);
        offset += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
      }
    }
  }

  void Take(uint32_t mask) {
    if (mask & kFolderGone) {
      gone_ = true;
      return;
    }
    if (mask & IN_Q_OVERFLOW) {
      signalled_ = true;  // changes were lost: say that there were some
      return;
    }
    const bool folder = (mask & IN_ISDIR) != 0;
    const bool nameChange = (mask & (IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO)) != 0;
    if (nameChange && (filter_ & (folder ? FILE_NOTIFY_CHANGE_DIR_NAME : FILE_NOTIFY_CHANGE_FILE_NAME))) {
      signalled_ = true;
    }
    if (!folder && (mask & (IN_CLOSE_WRITE | IN_MODIFY))) signalled_ = true;
  }

  int descriptor_;
  DWORD filter_;
  bool signalled_ = false;
  bool gone_ = false;
};

}  // namespace
}  // namespace twl

TWLAPI HANDLE FindFirstChangeNotificationA(LPCSTR folder, BOOL watchSubtree, DWORD filter) {
  if (!folder || !*folder || filter == 0 || (filter & ~twl::kKnownFilters)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  if (watchSubtree) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return INVALID_HANDLE_VALUE;
  }
  const std::string path = twl::ResolvePath(folder);
  const int descriptor = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (descriptor < 0) {
    twl::FailWithErrno(errno);
    return INVALID_HANDLE_VALUE;
  }
  if (inotify_add_watch(descriptor, path.c_str(), twl::InotifyMaskOf(filter) | IN_ONLYDIR) < 0) {
    const int error = errno;
    close(descriptor);
    SetLastError(error == ENOTDIR ? ERROR_DIRECTORY : twl::Win32ErrorFromErrno(error, path.c_str()));
    return INVALID_HANDLE_VALUE;
  }
  HANDLE handle = twl::InsertHandle(std::make_shared<twl::ChangeNotification>(descriptor, filter));
  if (!handle) return INVALID_HANDLE_VALUE;
  SetLastError(ERROR_SUCCESS);
  return handle;
}

TWLAPI BOOL FindNextChangeNotification(HANDLE handle) {
  auto notification = twl::FindHandleAs<twl::ChangeNotification>(handle, twl::ObjectKind::ChangeNotification);
  if (!notification) return FALSE;
  std::lock_guard lock(twl::DispatcherLock());
  if (!notification->Rearm()) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return FALSE;
  }
  return TRUE;
}

TWLAPI BOOL FindCloseChangeNotification(HANDLE handle) {
  if (!twl::FindHandleAs<twl::ChangeNotification>(handle, twl::ObjectKind::ChangeNotification)) return FALSE;
  twl::RemoveHandle(handle);
  return TRUE;
}
