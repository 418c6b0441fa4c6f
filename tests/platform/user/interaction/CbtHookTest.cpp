// CBT hooks: a hook may refuse an activation or a minimise/maximise, hands
// on to the next hook with CallNextHookEx, and may unhook (itself or
// others) while it runs.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "platform/user/windows/Recorder.h"

using namespace usertest;

namespace {

// What one hook does when it is called.
enum class Act { Refuse, Allow, PassOn, UnhookSelfThenPassOn, UnhookNextThenPassOn };

struct Call {
  int hook;  // 0: the first hook asked (installed last)
  int code;
  WPARAM wParam;
  HWND active;  // HCBT_ACTIVATE: the window active before
  BOOL mouse;
};

struct Chain {
  Chain(Act first, Act second) : acts{first, second} {}
  Act acts[2];
  HHOOK handles[2] = {};
  std::vector<Call> calls;
};

Chain* chain = nullptr;

LRESULT Run(int hook, int code, WPARAM wParam, LPARAM lParam) {
  Call call{hook, code, wParam, nullptr, FALSE};
  if (code == HCBT_ACTIVATE) {
    auto* record = reinterpret_cast<CBTACTIVATESTRUCT*>(lParam);
    call.active = record->hWndActive;
    call.mouse = record->fMouse;
  }
  chain->calls.push_back(call);
  switch (chain->acts[hook]) {
    case Act::Refuse: return 1;
    case Act::Allow: return 0;
    case Act::PassOn: break;
    case Act::UnhookSelfThenPassOn: UnhookWindowsHookEx(chain->handles[hook]); break;
    case Act::UnhookNextThenPassOn: UnhookWindowsHookEx(chain->handles[1]); break;
  }
  return CallNextHookEx(chain->handles[hook], code, wParam, lParam);
}

LRESULT CALLBACK First(int code, WPARAM wParam, LPARAM lParam) { return Run(0, code, wParam, lParam); }
LRESULT CALLBACK Second(int code, WPARAM wParam, LPARAM lParam) { return Run(1, code, wParam, lParam); }

// Two windows of this thread, the first active.
struct HookScene {
  HookScene() {
    RegisterRecordingClass("HookScene");
    first = MakeWindow("HookScene", WS_OVERLAPPEDWINDOW | WS_VISIBLE, {0, 0, 200, 200});
    second = MakeWindow("HookScene", WS_OVERLAPPEDWINDOW | WS_VISIBLE, {300, 0, 500, 200});
    SetActiveWindow(first);
    Pump();
    Recorder::Get().Clear();
  }
  void Install(Chain& c) {
    chain = &c;
    // The hook installed last is asked first.
    c.handles[1] = SetWindowsHookExA(WH_CBT, Second, nullptr, GetCurrentThreadId());
    c.handles[0] = SetWindowsHookExA(WH_CBT, First, nullptr, GetCurrentThreadId());
  }
  ~HookScene() {
    if (chain) {
      UnhookWindowsHookEx(chain->handles[0]);
      UnhookWindowsHookEx(chain->handles[1]);
      chain = nullptr;
    }
  }
  HWND first, second;
};

struct HookCase {
  const char* name;
  Act acts[2];
  bool activated;   // the second window ends up active
  size_t calls;     // hook calls for the activation
  bool laterCalls;  // a second activation still asks the first hook
};

void PrintTo(const HookCase& c, std::ostream* out) { *out << c.name; }

const HookCase kHookCases[] = {
    {"RefusingKeepsTheActiveWindow", {Act::Refuse, Act::Allow}, false, 1, true},
    {"AllowingWithoutPassingOnActivates", {Act::Allow, Act::Refuse}, true, 1, true},
    {"PassingOnLetsTheNextRefuse", {Act::PassOn, Act::Refuse}, false, 2, true},
    {"PassingOnToAnAllowingHookActivates", {Act::PassOn, Act::Allow}, true, 2, true},
    {"TheLastHookPassingOnActivates", {Act::PassOn, Act::PassOn}, true, 2, true},
    {"UnhookingItselfInsideStillPassesOn", {Act::UnhookSelfThenPassOn, Act::Refuse}, false, 2, false},
    {"UnhookingTheNextInsideSkipsIt", {Act::UnhookNextThenPassOn, Act::Refuse}, true, 1, true},
};

class CbtActivate : public testing::TestWithParam<HookCase> {};

}  // namespace

TEST_P(CbtActivate, TheChainDecides) {
  const HookCase& c = GetParam();
  HookScene scene;
  Chain hooks(c.acts[0], c.acts[1]);
  scene.Install(hooks);
  ASSERT_NE(hooks.handles[0], nullptr);

  SetActiveWindow(scene.second);
  Pump();
  EXPECT_EQ(GetActiveWindow(), c.activated ? scene.second : scene.first);
  auto activations = Recorder::Get().Of(WM_ACTIVATE);
  EXPECT_EQ(activations.empty(), !c.activated) << "a refused activation sends no WM_ACTIVATE";
  ASSERT_EQ(hooks.calls.size(), c.calls);
  for (const Call& call : hooks.calls) {
    EXPECT_EQ(call.code, HCBT_ACTIVATE);
    EXPECT_EQ(call.wParam, reinterpret_cast<WPARAM>(scene.second)) << "hook " << call.hook;
    EXPECT_EQ(call.active, scene.first) << "hook " << call.hook;
    EXPECT_FALSE(call.mouse);
  }
  if (c.calls == 2) {
    EXPECT_EQ(hooks.calls[1].hook, 1) << "the next hook sees what the first passed on";
  }

  hooks.calls.clear();
  SetActiveWindow(GetActiveWindow() == scene.first ? scene.second : scene.first);
  ASSERT_FALSE(hooks.calls.empty() && c.laterCalls);
  if (!hooks.calls.empty()) {
    EXPECT_EQ(hooks.calls[0].hook == 0, c.laterCalls);
  }
}

INSTANTIATE_TEST_SUITE_P(Chains, CbtActivate, testing::ValuesIn(kHookCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CbtHook, SeesAClickActivationAndItsRefusalKeepsTheClick) {
  HookScene scene;
  Chain hooks(Act::Refuse, Act::Allow);
  scene.Install(hooks);
  TwlTestClick(400, 100);
  Pump();
  EXPECT_EQ(GetActiveWindow(), scene.first);
  ASSERT_EQ(hooks.calls.size(), 1u);
  EXPECT_TRUE(hooks.calls[0].mouse);
  EXPECT_EQ(Recorder::Get().Of(WM_LBUTTONDOWN).size(), 1u);
}

TEST(CbtHook, IsAskedBeforeMinimisingOrMaximising) {
  HookScene scene;
  Chain hooks(Act::Refuse, Act::Allow);
  scene.Install(hooks);
  for (int command : {SW_MINIMIZE, SW_SHOWMAXIMIZED, SW_SHOW, SW_RESTORE}) {
    hooks.calls.clear();
    ShowWindow(scene.first, command);
    EXPECT_FALSE(IsIconic(scene.first));
    EXPECT_FALSE(IsZoomed(scene.first));
    bool asked = command == SW_MINIMIZE || command == SW_SHOWMAXIMIZED;
    ASSERT_EQ(hooks.calls.size(), asked ? 1u : 0u) << command << " (restoring a normal window asks nothing)";
    if (asked) {
      EXPECT_EQ(hooks.calls[0].code, HCBT_MINMAX);
      EXPECT_EQ(hooks.calls[0].wParam, reinterpret_cast<WPARAM>(scene.first));
    }
  }
  hooks.acts[0] = Act::Allow;
  ShowWindow(scene.first, SW_MINIMIZE);
  EXPECT_TRUE(IsIconic(scene.first));
  hooks.calls.clear();
  hooks.acts[0] = Act::Refuse;
  ShowWindow(scene.first, SW_RESTORE);
  EXPECT_TRUE(IsIconic(scene.first)) << "restoring is asked too";
  ASSERT_EQ(hooks.calls.size(), 1u);
}

namespace {

std::atomic<DWORD> hookThread{0};

LRESULT CALLBACK NoteThread(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_MINMAX) hookThread = GetCurrentThreadId();
  return 1;
}

}  // namespace

TEST(CbtHook, RunsOnTheThreadItHooksWhenAnotherThreadAsks) {
  HookScene scene;
  HHOOK hook = SetWindowsHookExA(WH_CBT, NoteThread, nullptr, GetCurrentThreadId());
  std::atomic<bool> done{false};
  std::thread other([&] {
    ShowWindow(scene.first, SW_MINIMIZE);
    done = true;
  });
  while (!done) {
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);  // takes the cross-thread call
    std::this_thread::yield();
  }
  other.join();
  EXPECT_EQ(hookThread.load(), GetCurrentThreadId());
  EXPECT_FALSE(IsIconic(scene.first));
  UnhookWindowsHookEx(hook);
}

TEST(CbtHook, AHookOfAnotherThreadIsNotAsked) {
  HookScene scene;
  std::atomic<DWORD> otherId{0};
  std::atomic<bool> quit{false};
  std::thread other([&] {
    otherId = GetCurrentThreadId();
    while (!quit) std::this_thread::yield();
  });
  while (!otherId) std::this_thread::yield();
  HHOOK hook = SetWindowsHookExA(WH_CBT, NoteThread, nullptr, otherId);
  ASSERT_NE(hook, nullptr);
  hookThread = 0;
  ShowWindow(scene.first, SW_MINIMIZE);
  EXPECT_TRUE(IsIconic(scene.first));
  EXPECT_EQ(hookThread.load(), 0u);
  UnhookWindowsHookEx(hook);
  quit = true;
  other.join();
}

TEST(CbtHook, InstallingAndRemovingRefuseWhatCannotWork) {
  auto proc = [](int, WPARAM, LPARAM) -> LRESULT { return 0; };
  const struct {
    const char* behaviour;
    int kind;
    HOOKPROC proc;
    DWORD thread;
    DWORD error;
  } cases[] = {
      {"a kind other than CBT", 2, proc, GetCurrentThreadId(), ERROR_INVALID_HOOK_FILTER},
      {"no procedure", WH_CBT, nullptr, GetCurrentThreadId(), ERROR_INVALID_FILTER_PROC},
      {"a thread of no process of ours", WH_CBT, proc, 0x7FFFFFF0, ERROR_INVALID_PARAMETER},
  };
  for (const auto& c : cases) {
    SetLastError(0);
    EXPECT_EQ(SetWindowsHookExA(c.kind, c.proc, nullptr, c.thread), nullptr) << c.behaviour;
    EXPECT_EQ(GetLastError(), c.error) << c.behaviour;
  }
  HHOOK hook = SetWindowsHookExA(WH_CBT, proc, nullptr, 0);
  ASSERT_NE(hook, nullptr);
  EXPECT_TRUE(UnhookWindowsHookEx(hook));
  EXPECT_FALSE(UnhookWindowsHookEx(hook));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HOOK_HANDLE));
  EXPECT_EQ(CallNextHookEx(nullptr, HCBT_ACTIVATE, 0, 0), 0) << "outside a hook there is no next";
}
