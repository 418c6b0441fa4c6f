// CBT hooks: the table of installed hooks and the chain a thread runs.
// A chain is a snapshot taken when the window manager asks, newest hook
// first; a hook removed while the chain runs is skipped from then on, so a
// hook may unhook itself or others safely. CallNextHookEx finds its place
// in the chain from a per-thread stack of running hooks.
#include "Hooks.h"

#include <sys/stat.h>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "WindowManager.h"
#include "platform/kernel/IdTable.h"
#include "twlwin/errors.h"
#include "twlwin/hooks.h"

namespace twl::user {

namespace {

struct Hook {
  DWORD threadId = 0;  // 0: every thread of the process
  HOOKPROC proc = nullptr;
  std::atomic<bool> removed{false};
};

using Chain = std::vector<std::shared_ptr<Hook>>;

struct HookTable {
  std::mutex lock;
  IdTable<Hook> ids;
  std::vector<std::pair<uint32_t, std::shared_ptr<Hook>>> installed;  // newest first
};

HookTable& Hooks() {
  static auto* table = new HookTable;  // never destroyed: hooks may run during exit
  return *table;
}

// What runs on this thread: the chain and the place of the hook running.
struct Frame {
  std::shared_ptr<const Chain> chain;
  size_t index;
};
thread_local std::vector<Frame> running;

std::shared_ptr<const Chain> ChainFor(DWORD threadId) {
  HookTable& table = Hooks();
  std::lock_guard guard(table.lock);
  if (table.installed.empty()) return nullptr;
  auto chain = std::make_shared<Chain>();
  for (auto& [id, hook] : table.installed)
    if (!hook->removed && (hook->threadId == 0 || hook->threadId == threadId)) chain->push_back(hook);
  return chain->empty() ? nullptr : chain;
}

// Runs the first hook at or after `start` that is still installed.
LRESULT RunFrom(const std::shared_ptr<const Chain>& chain, size_t start, int code, WPARAM wParam, LPARAM lParam) {
  for (size_t i = start; i < chain->size(); ++i) {
    const Hook& hook = *(*chain)[i];
    if (hook.removed) continue;
    running.push_back(Frame{chain, i});
    struct Pop {
      ~Pop() { running.pop_back(); }
    } pop;
    return hook.proc(code, wParam, lParam);
  }
  return 0;
}

// Runs fn on the thread `threadId` and waits for it, taking this thread's
// incoming sends meanwhile; 0 when that thread has no queue any more.
LRESULT CallOnThread(DWORD threadId, std::function<LRESULT()> fn) {
  if (threadId == ThisThreadId()) return fn();
  Guard guard(Lock());
  ThreadQueue* target = QueueLocked(threadId);
  if (!target) return 0;
  auto self = CurrentQueueLocked();
  auto item = std::make_shared<Incoming>();
  item->run = std::move(fn);
  item->waiter = self;
  target->incoming.push_back(item);
  target->wake.notify_all();
  WaitForReply(guard, self, item);
  return item->result;
}

bool AskCbt(DWORD threadId, int code, WPARAM wParam, LPARAM lParam) {
  if (!ChainFor(threadId)) return false;
  return CallOnThread(threadId, [=] {
           auto chain = ChainFor(threadId);
           return chain ? RunFrom(chain, 0, code, wParam, lParam) : LRESULT{0};
         }) != 0;
}

bool HooksInstalled() {
  HookTable& table = Hooks();
  std::lock_guard guard(table.lock);
  return !table.installed.empty();
}

bool IsThreadOfThisProcess(DWORD threadId) {
  struct stat info {};
  return stat(("/proc/self/task/" + std::to_string(threadId)).c_str(), &info) == 0;
}

bool Minimizes(int command) {
  return command == SW_MINIMIZE || command == SW_SHOWMINIMIZED || command == SW_SHOWMINNOACTIVE;
}

bool Restores(int command) {
  return command == SW_RESTORE || command == SW_SHOWNORMAL || command == SW_SHOWDEFAULT ||
         command == SW_SHOWNOACTIVATE;
}

}  // namespace

bool ActivationRefusedByHook(HWND window, int how) {
  if (!window || !HooksInstalled()) return false;
  uint32_t root = 0;
  uint32_t active = 0;
  DWORD threadId = 0;
  {
    Guard guard(Lock());
    Window* w = FindLocked(window);
    if (!w) return false;
    root = RootLocked(w->id);
    threadId = w->threadId;
    ThreadQueue* queue = QueueLocked(threadId);
    active = queue ? queue->active : 0;
  }
  if (root == active) return false;
  CBTACTIVATESTRUCT record{how == WA_CLICKACTIVE, HwndOf(active)};
  return AskCbt(threadId, HCBT_ACTIVATE, static_cast<WPARAM>(root), reinterpret_cast<LPARAM>(&record));
}

bool MinMaxRefusedByHook(HWND window, int command) {
  if (!HooksInstalled()) return false;
  DWORD threadId = 0;
  {
    Guard guard(Lock());
    Window* w = FindLocked(window);
    if (!w) return false;
    const bool changesShape = Minimizes(command) || command == SW_SHOWMAXIMIZED ||
                              (Restores(command) && (w->style & (WS_MINIMIZE | WS_MAXIMIZE)));
    if (!changesShape) return false;
    threadId = w->threadId;
  }
  return AskCbt(threadId, HCBT_MINMAX, reinterpret_cast<WPARAM>(window), MAKELPARAM(command, 0));
}

}  // namespace twl::user

using namespace twl::user;

TWLAPI HHOOK SetWindowsHookExA(int kind, HOOKPROC procedure, HINSTANCE, DWORD threadId) {
  if (kind != WH_CBT) {
    SetLastError(ERROR_INVALID_HOOK_FILTER);
    return nullptr;
  }
  if (!procedure) {
    SetLastError(ERROR_INVALID_FILTER_PROC);
    return nullptr;
  }
  if (threadId != 0 && !IsThreadOfThisProcess(threadId)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto hook = std::make_shared<Hook>();
  hook->threadId = threadId;
  hook->proc = procedure;
  HookTable& table = Hooks();
  uint32_t id = table.ids.Insert(hook);
  if (!id) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  std::lock_guard guard(table.lock);
  table.installed.insert(table.installed.begin(), {id, hook});
  return reinterpret_cast<HHOOK>(static_cast<uintptr_t>(id));
}

TWLAPI BOOL UnhookWindowsHookEx(HHOOK handle) {
  auto value = reinterpret_cast<uintptr_t>(handle);
  HookTable& table = Hooks();
  auto hook = value <= 0xFFFFFFFFu ? table.ids.Remove(static_cast<uint32_t>(value)) : nullptr;
  if (!hook) {
    SetLastError(ERROR_INVALID_HOOK_HANDLE);
    return FALSE;
  }
  hook->removed = true;
  std::lock_guard guard(table.lock);
  std::erase_if(table.installed, [&](const auto& entry) { return entry.second == hook; });
  return TRUE;
}

TWLAPI LRESULT CallNextHookEx(HHOOK, int code, WPARAM wParam, LPARAM lParam) {
  if (running.empty()) return 0;
  Frame frame = running.back();
  return RunFrom(frame.chain, frame.index + 1, code, wParam, lParam);
}
