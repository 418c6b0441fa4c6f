#include "Mutexes.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string>
#include <vector>

#include "Desktop.h"
#include "ErrnoMap.h"
#include "KernelObject.h"
#include "NamedObjects.h"
#include "twlwin/sync.h"
#include "twlwin/threads.h"

namespace twl {
namespace {

constexpr char kHeld = 'H';
constexpr char kFree = 'F';

class MutexObject;

// The mutexes the current thread owns, so that they can be abandoned when it
// ends. Only the owning thread touches its list, under the dispatcher lock.
struct OwnedMutexes {
  std::vector<std::shared_ptr<MutexObject>> mutexes;
  ~OwnedMutexes() { AbandonMutexesOfThisThread(); }
};
thread_local OwnedMutexes ownedByThisThread;

class MutexObject final : public Waitable, public std::enable_shared_from_this<MutexObject> {
 public:
  MutexObject() : Waitable(ObjectKind::Mutex) {}
  ~MutexObject() override {
    if (lockFd_ >= 0) close(lockFd_);
    if (openFd_ >= 0) close(openFd_);
  }

  // Attaches the object to its files in the desktop folder. Returns false
  // with the last error set when the folder cannot be used. `existed` tells
  // whether another process has the mutex open.
  bool AttachToDesktop(const std::string& name, bool* existed) {
    std::string base = DesktopFolder() + "/mutex." + EncodeObjectName(name);
    openFd_ = open((base + ".open").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    lockFd_ = open((base + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (openFd_ < 0 || lockFd_ < 0) return FailWithErrno(errno, base.c_str());
    // Nobody else holds a shared lock on the open file exactly when no other
    // process has the mutex open. Turning the exclusive lock of that test
    // into a shared one is not atomic (another process's test may slip in
    // between and find nobody), so processes attach one at a time.
    int guardFd = open((base + ".attach").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (guardFd < 0) return FailWithErrno(errno, base.c_str());
    int error = 0;
    while (flock(guardFd, LOCK_EX) != 0 && !error)
      if (errno != EINTR) error = errno;
    if (!error) {
      *existed = flock(openFd_, LOCK_EX | LOCK_NB) != 0;
      if (flock(openFd_, LOCK_SH) != 0) error = errno;
    }
    close(guardFd);  // lets the next process attach
    if (error) return FailWithErrno(error, base.c_str());
    return true;
  }

  bool IsReady(DWORD threadId) override {
    if (owner_ == threadId) return true;
    if (owner_ != 0) return false;
    if (lockFd_ < 0 || processHoldsLock_) return true;
    processHoldsLock_ = flock(lockFd_, LOCK_EX | LOCK_NB) == 0;
    return processHoldsLock_;
  }

  AcquireResult Acquire(DWORD threadId) override {
    if (owner_ == threadId) {
      ++recursion_;
      return AcquireResult::Acquired;
    }
    owner_ = threadId;
    recursion_ = 1;
    bool abandoned = abandoned_;
    abandoned_ = false;
    if (lockFd_ >= 0) {
      abandoned = ReadState() == kHeld || abandoned;
      WriteState(kHeld);
    }
    ownedByThisThread.mutexes.push_back(shared_from_this());
    return abandoned ? AcquireResult::Abandoned : AcquireResult::Acquired;
  }

  void Unready() override {
    if (owner_ == 0) DropProcessLock();
  }

  bool NeedsPolling() const override { return lockFd_ >= 0; }

  // Under the dispatcher lock.
  bool Release(DWORD threadId) {
    if (owner_ != threadId) return false;
    if (--recursion_ > 0) return true;
    Disown();
    if (lockFd_ >= 0) WriteState(kFree);
    DropProcessLock();
    return true;
  }

  // Under the dispatcher lock, by the owner thread as it ends. The state
  // byte stays "held", which tells the next owner in any process.
  void Abandon() {
    owner_ = 0;
    recursion_ = 0;
    abandoned_ = true;
    DropProcessLock();
  }

  DWORD Owner() const { return owner_; }

 private:
  void Disown() {
    owner_ = 0;
    recursion_ = 0;
    auto& mine = ownedByThisThread.mutexes;
    auto found = std::find(mine.begin(), mine.end(), shared_from_this());
    if (found != mine.end()) mine.erase(found);
  }

  void DropProcessLock() {
    if (!processHoldsLock_) return;
    flock(lockFd_, LOCK_UN);
    processHoldsLock_ = false;
  }

  char ReadState() const {
    char state = kFree;
    if (pread(lockFd_, &state, 1, 0) != 1) return kFree;
    return state;
  }

  void WriteState(char state) const {
    // A failed write only loses the abandonment hint; ownership is the flock.
    [[maybe_unused]] ssize_t written = pwrite(lockFd_, &state, 1, 0);
  }

  DWORD owner_ = 0;
  DWORD recursion_ = 0;
  bool abandoned_ = false;
  int lockFd_ = -1;
  int openFd_ = -1;
  bool processHoldsLock_ = false;
};

std::shared_ptr<MutexObject> MakeMutex(const char* name, bool* existedElsewhere) {
  auto mutex = std::make_shared<MutexObject>();
  *existedElsewhere = false;
  if (name && !mutex->AttachToDesktop(name, existedElsewhere)) return nullptr;
  return mutex;
}

void TakeInitialOwnership(HANDLE handle) {
  auto mutex = FindHandleAs<MutexObject>(handle, ObjectKind::Mutex);
  if (!mutex) return;
  // Another process may own it right now; the creator then simply waits,
  // which is what a caller asking for ownership of a new mutex expects.
  DWORD error = GetLastError();
  WaitForSingleObject(handle, INFINITE);
  SetLastError(error);
}

}  // namespace

void AbandonMutexesOfThisThread() {
  std::lock_guard lock(DispatcherLock());
  auto mine = std::move(ownedByThisThread.mutexes);
  ownedByThisThread.mutexes.clear();
  for (auto& mutex : mine) {
    mutex->Abandon();
    mutex->WakeWaiters();
  }
}

}  // namespace twl

TWLAPI HANDLE CreateMutexA(LPSECURITY_ATTRIBUTES, BOOL initialOwner, LPCSTR name) {
  bool existedElsewhere = false;
  auto make = [&]() -> std::shared_ptr<twl::KernelObject> { return twl::MakeMutex(name, &existedElsewhere); };
  twl::NamedLookup lookup;
  if (name) {
    lookup = twl::OpenOrCreateNamed(name, twl::ObjectKind::Mutex, make);
  } else {
    lookup.handle = twl::InsertHandle(make());
  }
  if (!lookup.handle) return nullptr;
  bool existed = lookup.existed || existedElsewhere;
  if (initialOwner && !existed) twl::TakeInitialOwnership(lookup.handle);
  SetLastError(existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
  return lookup.handle;
}

TWLAPI HANDLE OpenMutexA(DWORD, BOOL, LPCSTR name) {
  if (!name) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto lookup = twl::OpenOrCreateNamed(name, twl::ObjectKind::Mutex, nullptr);
  if (lookup.handle || GetLastError() != ERROR_FILE_NOT_FOUND) return lookup.handle;
  // Not open in this process: open it if another process has it open.
  bool existedElsewhere = false;
  auto attach = [&]() -> std::shared_ptr<twl::KernelObject> {
    auto mutex = twl::MakeMutex(name, &existedElsewhere);
    if (mutex && !existedElsewhere) {
      SetLastError(ERROR_FILE_NOT_FOUND);
      return nullptr;
    }
    return mutex;
  };
  lookup = twl::OpenOrCreateNamed(name, twl::ObjectKind::Mutex, attach);
  if (lookup.handle) SetLastError(ERROR_SUCCESS);
  return lookup.handle;
}

TWLAPI BOOL ReleaseMutex(HANDLE handle) {
  auto mutex = twl::FindHandleAs<twl::MutexObject>(handle, twl::ObjectKind::Mutex);
  if (!mutex) return FALSE;
  std::lock_guard lock(twl::DispatcherLock());
  if (!mutex->Release(GetCurrentThreadId())) {
    SetLastError(ERROR_NOT_OWNER);
    return FALSE;
  }
  mutex->WakeWaiters();
  return TRUE;
}
