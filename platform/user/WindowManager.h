// The window manager's state: classes, windows, per-thread queues, focus,
// capture and the virtual screen. One lock (Lock()) guards all of it; it is
// never held while a window procedure, hook or callback runs, so procedures
// may call back into the layer freely. Each queue's condition variable waits
// on that same lock.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "Region.h"
#include "twlwin/windowing.h"

namespace twl::user {

struct WindowClass {
  std::string name;
  ATOM atom = 0;
  UINT style = 0;
  WNDPROC proc = nullptr;
  int windowExtra = 0;
  HINSTANCE instance = nullptr;
  HICON icon = nullptr;
  HICON smallIcon = nullptr;
  HCURSOR cursor = nullptr;
  HBRUSH background = nullptr;
  std::string menuName;
  std::vector<BYTE> extra;
};

struct Window {
  uint32_t id = 0;
  std::shared_ptr<WindowClass> cls;
  DWORD threadId = 0;
  DWORD style = 0;
  DWORD exStyle = 0;
  uint32_t parent = 0;  // 0 for top-level windows
  uint32_t owner = 0;
  bool messageOnly = false;
  std::vector<uint32_t> children;  // top of the z-order first
  RECT rect{};                     // in the parent's client coordinates (screen for top-level)
  RECT restoreRect{};              // the normal placement while minimised or maximised
  std::string text;
  WNDPROC proc = nullptr;
  LONG_PTR userData = 0;
  LONG_PTR controlId = 0;
  HINSTANCE instance = nullptr;
  std::vector<BYTE> extra;
  Region update;  // client coordinates
  bool eraseNeeded = false;
  std::optional<Region> shape;  // window coordinates; null: the whole rectangle
  int64_t zStamp = 0;           // top-level order across the desktop: higher is nearer the top
  bool destroying = false;
};

// A send from another thread or a task to run on the queue's thread; the
// waiter (if any) sleeps until done.
struct Incoming {
  std::function<LRESULT()> run;
  bool done = false;
  LRESULT result = 0;
  std::shared_ptr<struct ThreadQueue> waiter;
};

struct Posted {
  MSG msg{};
  bool input = false;  // came from the mouse or keyboard
};

struct Timer {
  HWND window = nullptr;
  UINT_PTR id = 0;
  UINT interval = 0;
  uint64_t due = 0;
  TIMERPROC proc = nullptr;
};

// One per thread that used the window manager. Any thread may post to it;
// only its thread takes messages out.
struct ThreadQueue {
  DWORD threadId = 0;
  bool alive = true;
  std::deque<Posted> posted;
  std::deque<std::shared_ptr<Incoming>> incoming;
  bool quitPosted = false;
  int quitCode = 0;
  std::condition_variable wake;
  uint32_t active = 0;
  uint32_t focus = 0;
  std::vector<Timer> timers;
  BYTE keys[256] = {};  // key state as of the last input message taken out
  MSG last{};           // GetMessageTime / GetMessagePos
  int sendDepth = 0;    // > 0 while handling a send from another thread
  int waiting = 0;      // > 0 while its thread sleeps for messages
};

struct Screen {
  int width = 1024;
  int height = 768;
  int bitsPerPixel = 32;
  RECT workArea{0, 0, 1024, 768};
  bool screenSaverActive = true;
  uint32_t modeGeneration = 1;  // grows with every display mode change
};

struct WindowModel {
  std::mutex lock;
  std::unordered_map<std::string, std::shared_ptr<WindowClass>> classes;  // by lower-case name
  ATOM nextAtom = 0xC000;
  std::unordered_map<uint32_t, std::shared_ptr<Window>> windows;
  std::unordered_map<DWORD, std::shared_ptr<ThreadQueue>> queues;
  uint32_t foreground = 0;
  uint32_t capture = 0;
  POINT cursor{0, 0};
  BYTE asyncKeys[256] = {};
  Screen screen;
  // Double-click detection.
  UINT lastDownMessage = 0;
  uint32_t lastDownWindow = 0;
  uint64_t lastDownTime = 0;
  POINT lastDownPoint{0, 0};
};

WindowModel& Model();
inline std::mutex& Lock() { return Model().lock; }
using Guard = std::unique_lock<std::mutex>;

DWORD ThisThreadId();

// Handles and ids.
inline uint32_t IdOf(HWND h) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(h)); }
inline HWND HwndOf(uint32_t id) { return reinterpret_cast<HWND>(static_cast<uintptr_t>(id)); }

// Lookups; call with the lock held.
Window* FindLocked(HWND window);
Window* FindLocked(uint32_t id);
ThreadQueue* QueueLocked(DWORD threadId);
// The calling thread's queue, created on first use.
std::shared_ptr<ThreadQueue> CurrentQueueLocked();
uint32_t RootLocked(uint32_t id);
bool IsDescendantLocked(uint32_t ancestor, uint32_t id);
bool IsVisibleLocked(const Window& w);  // this window and all its parents
// Wakes every thread waiting for messages (the clock moved, input arrived).
void WakeAllLocked();

// Clock of timers and message times, in milliseconds; tests may drive it.
uint64_t NowLocked();
// A desktop-wide increasing stamp for the top-level z-order
// (ZOrderStamps.h).
int64_t NextStampLocked();

// Calls the window procedure on this thread (lock not held). Returns 0 for
// a window that is gone.
LRESULT Deliver(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// SendMessageA's work for windows of this process.
LRESULT SendLocal(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Runs fn on the queue's thread the next time it takes messages, without
// waiting for it; runs it at once when that is the calling thread.
void RunOnThread(DWORD threadId, std::function<void()> fn);
// Waits, taking incoming sends meanwhile, until item is done or its target
// thread has ended. Called with the lock held.
void WaitForReply(Guard& guard, const std::shared_ptr<ThreadQueue>& self, const std::shared_ptr<Incoming>& item);
// Runs one incoming send of the queue if there is one; lock held on entry
// and exit, released while the send runs.
bool RunOneIncoming(Guard& guard, ThreadQueue& queue);

// Classes; lock held.
std::shared_ptr<WindowClass> FindClassLocked(LPCSTR name);
bool ClassNamesEqual(const std::string& a, const char* b);

// Geometry; lock held. Frame sizes are those of the classic look.
constexpr int kBorder = 1;
constexpr int kDialogFrame = 3;
constexpr int kSizingFrame = 4;
constexpr int kEdge = 2;
constexpr int kCaption = 19;
constexpr int kSmallCaption = 16;
constexpr uint32_t kDesktopId = 0x10;
struct Insets {
  int left, top, right, bottom;
};
Insets FrameInsets(DWORD style, DWORD exStyle);
RECT ScreenRectLocked(const Window& w);
RECT ClientScreenRectLocked(const Window& w);
RECT ClientRectLocked(const Window& w);  // origin 0,0
bool HitsShapeLocked(const Window& w, POINT screen);

// Z-order, top first: this process's top-level windows (lock held), and
// those of the whole desktop (no lock held).
std::vector<uint32_t> LocalTopLevelsLocked();
std::vector<uint32_t> DesktopTopLevels();
BOOL PositionWindow(HWND window, HWND after, int x, int y, int width, int height, UINT flags);
// Moves a top-level window to the top of its band and, with `withOwned`,
// the windows it owns (at any depth) above it, keeping their order; lock
// held. `raised` gets each window raised, in the order raised.
void RaiseTopLevelLocked(Window& w, bool withOwned, std::vector<Window*>& raised);
// Adds to each window's update region what shows of it now but did not at
// the last call (a window above it went away, moved or fell behind it):
// pixels written to the screen land only where a window shows, so what
// was covered is painted again. Lock held; wakes the threads concerned.
void InvalidateUncoveredLocked();

// Queues; lock held.
void PostLocked(ThreadQueue& queue, const MSG& msg, bool input);
bool TakeMessageLocked(ThreadQueue& queue, MSG* out, HWND filter, UINT lo, UINT hi, bool remove, bool* input);
void WaitForWorkLocked(Guard& guard, ThreadQueue& queue);
void FailNextGetMessage(DWORD threadId);  // 0: whichever thread asks first
// Work the owning thread does when it takes an input message out: key
// state, click activation. False when activation ate the message.
bool TakeInputLocked(Guard& guard, ThreadQueue& queue, const MSG& msg);
// Keys: the character a key makes with the given key state (or 0), scan
// codes, key message lParam, and key state bookkeeping.
int CharForKey(UINT virtualKey, const BYTE* keyState);
UINT ScanCode(UINT virtualKey);
LPARAM KeyLParam(UINT virtualKey, bool down, bool wasDown, bool alt);
void UpdateKeyState(BYTE* keys, UINT virtualKey, bool down);
// The window a mouse event at a screen point goes to: the topmost visible
// window whose shape holds the point, down to the deepest enabled child.
// blocked is set when that window is a disabled top-level window.
uint32_t HitTestLocked(POINT screen, bool* blocked);

// Windows; no lock held.
void SendSizeAndMove(HWND window, bool size = true, bool move = true);
void StoreTitle(HWND window, const char* text);
// Takes capture, focus and activation from a window and its children that
// are being hidden or destroyed.
void ReleaseWindowState(HWND window, bool destroying);
// Destroys a window and everything below it: WM_DESTROY (a window before
// its children) and WM_NCDESTROY (children first), each on the thread that
// owns the window, then the window leaves the model. `threadEnded` is for
// the calling thread's own windows as it ends: they get no messages, and
// windows of other threads below them are handed to their own threads.
void TearDownWindow(uint32_t id, bool threadEnded);
// Makes a top-level window the active one of its thread (runs there).
void ActivateWindow(HWND window, int how);

}  // namespace twl::user
