// Message delivery between two threads, queue filters and the paint and
// timer messages a queue makes.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <future>
#include <thread>

#include "Recorder.h"

using namespace usertest;

namespace {

constexpr auto kGenerous = std::chrono::seconds(20);

// Waits (generously) until a message has been recorded.
bool WaitForRecorded(UINT message) {
  auto deadline = std::chrono::steady_clock::now() + kGenerous;
  while (std::chrono::steady_clock::now() < deadline) {
    if (!Recorder::Get().Of(message).empty()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return false;
}

// A window on a thread of its own that runs the usual GetMessageA loop,
// and a window on the test's thread.
struct TwoThreads {
  void Start() {
    RegisterRecordingClass("Recorder");
    Recorder::Get().Clear();
    mainWindow = MakeWindow("Recorder", WS_POPUP, {0, 0, 10, 10});
    std::promise<HWND> ready;
    auto readyWindow = ready.get_future();
    worker = std::thread([this, &ready] {
      workerId = std::this_thread::get_id();
      ready.set_value(MakeWindow("Recorder", WS_POPUP, {0, 0, 10, 10}));
      MSG msg;
      BOOL result;
      while ((result = GetMessageA(&msg, nullptr, 0, 0)) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
      }
      exitCode = result == 0 ? static_cast<int>(msg.wParam) : -1;
    });
    workerWindow = readyWindow.get();
    workerThread = GetWindowThreadProcessId(workerWindow, nullptr);
    ASSERT_TRUE(workerWindow);
  }
  ~TwoThreads() {
    if (!worker.joinable()) return;
    PostThreadMessageA(workerThread, WM_QUIT, 0, 0);
    worker.join();
  }
  void StopWorker(int code) {
    PostMessageA(workerWindow, WM_QUIT, static_cast<WPARAM>(code), 0);
    worker.join();
  }

  HWND mainWindow = nullptr;
  HWND workerWindow = nullptr;
  DWORD workerThread = 0;
  std::thread worker;
  std::thread::id workerId;
  int exitCode = -100;
};

struct DeliveryCase {
  const char* name;
  void (*run)(TwoThreads& t);
};

void PrintTo(const DeliveryCase& c, std::ostream* out) { *out << c.name; }

const DeliveryCase kDeliveryCases[] = {
    {"PostRunsOnTheWindowsThread",
     [](TwoThreads& t) {
       ASSERT_TRUE(PostMessageA(t.workerWindow, WM_USER + 1, 7, 8));
       ASSERT_TRUE(WaitForRecorded(WM_USER + 1));
       Event e = Recorder::Get().Of(WM_USER + 1).front();
       EXPECT_EQ(e.thread, t.workerId);
       EXPECT_EQ(e.wParam, 7u);
       EXPECT_EQ(e.lParam, 8);
     }},
    {"SendWaitsWhileTheTargetPumps",
     [](TwoThreads& t) {
       Recorder::Get().On(WM_USER + 2, [](HWND, WPARAM w, LPARAM) { return static_cast<LRESULT>(w * 2); });
       EXPECT_EQ(SendMessageA(t.workerWindow, WM_USER + 2, 21, 0), 42);
       EXPECT_EQ(Recorder::Get().Of(WM_USER + 2).front().thread, t.workerId);
     }},
    {"SendFromInsideASendReachesTheWaitingSender",
     [](TwoThreads& t) {
       HWND back = t.mainWindow;
       // The worker, handling our send, sends back to our window while we
       // wait: we must handle it, or both threads wait for ever.
       Recorder::Get().On(WM_USER + 3,
                          [back](HWND, WPARAM w, LPARAM) { return SendMessageA(back, WM_USER + 4, w, 0) + 1; });
       Recorder::Get().On(WM_USER + 4, [](HWND, WPARAM w, LPARAM) { return static_cast<LRESULT>(w * 10); });
       EXPECT_EQ(SendMessageA(t.workerWindow, WM_USER + 3, 5, 0), 51);
       EXPECT_EQ(Recorder::Get().Of(WM_USER + 4).front().thread, std::this_thread::get_id());
     }},
    {"QuitEndsGetMessageWithItsCode",
     [](TwoThreads& t) {
       t.StopWorker(3);
       EXPECT_EQ(t.exitCode, 3);
     }},
    {"PostToADestroyedWindowFails",
     [](TwoThreads& t) {
       SendMessageA(t.workerWindow, WM_CLOSE, 0, 0);  // destroyed on its own thread
       EXPECT_FALSE(IsWindow(t.workerWindow));
       SetLastError(0);
       EXPECT_FALSE(PostMessageA(t.workerWindow, WM_USER + 5, 0, 0));
       EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
       EXPECT_EQ(SendMessageA(t.workerWindow, WM_USER + 5, 0, 0), 0);
       EXPECT_TRUE(Recorder::Get().Of(WM_USER + 5).empty());
     }},
    {"SendToAThreadThatEndedReturnsAtOnce",
     [](TwoThreads& t) {
       t.StopWorker(0);
       EXPECT_FALSE(IsWindow(t.workerWindow));
       EXPECT_EQ(SendMessageA(t.workerWindow, WM_USER + 6, 0, 0), 0);
     }},
};

}  // namespace

class MessageDelivery : public testing::TestWithParam<DeliveryCase> {};

TEST_P(MessageDelivery, BetweenTwoThreads) {
  TwoThreads threads;
  threads.Start();
  ASSERT_FALSE(HasFatalFailure());
  GetParam().run(threads);
}

INSTANTIATE_TEST_SUITE_P(Cases, MessageDelivery, testing::ValuesIn(kDeliveryCases),
                         [](const testing::TestParamInfo<DeliveryCase>& info) { return info.param.name; });

TEST(MessageQueue, PeekHonoursWindowAndRangeFiltersAndRemoval) {
  RegisterRecordingClass("Recorder");
  HWND a = MakeWindow("Recorder", WS_POPUP, {0, 0, 10, 10});
  HWND b = MakeWindow("Recorder", WS_POPUP, {0, 0, 10, 10});
  HWND child = MakeWindow("Recorder", WS_CHILD, {0, 0, 5, 5}, a, 1);
  Pump();
  PostMessageA(a, WM_USER + 1, 0, 0);
  PostMessageA(b, WM_USER + 2, 0, 0);
  PostMessageA(child, WM_USER + 3, 0, 0);
  PostThreadMessageA(GetWindowThreadProcessId(a, nullptr), WM_USER + 4, 0, 0);

  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, b, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER + 2));
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_USER + 3, WM_USER + 4, PM_REMOVE));
  EXPECT_EQ(msg.hwnd, child);
  // A window filter takes the window's children too.
  ASSERT_TRUE(PeekMessageA(&msg, a, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER + 1));
  EXPECT_FALSE(PeekMessageA(&msg, a, 0, 0, PM_REMOVE));
  // -1 takes only messages for no window.
  ASSERT_TRUE(PeekMessageA(&msg, reinterpret_cast<HWND>(-1), 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER + 4));
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER + 2));
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST(MessageQueue, DestroyingAWindowDropsItsQueuedMessages) {
  RegisterRecordingClass("Recorder");
  HWND window = MakeWindow("Recorder", WS_POPUP, {0, 0, 10, 10});
  PostMessageA(window, WM_USER + 1, 0, 0);
  DestroyWindow(window);
  MSG msg;
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_USER + 1, WM_USER + 1, PM_REMOVE));
}

TEST(MessageQueue, GetMessageReportsAnInjectedFailure) {
  PostQuitMessage(0);
  TwlTestFailNextGetMessage();
  MSG msg;
  EXPECT_EQ(GetMessageA(&msg, nullptr, 0, 0), -1);
  EXPECT_EQ(GetMessageA(&msg, nullptr, 0, 0), 0);
}

TEST(MessageQueue, TranslateMessageQueuesTheCharacterRightAfterItsKey) {
  RegisterRecordingClass("Recorder");
  HWND window = MakeWindow("Recorder", WS_POPUP | WS_VISIBLE, {0, 0, 50, 50});
  ASSERT_EQ(GetFocus(), window);
  Pump();
  Recorder::Get().Clear();
  TwlTestKeyPress('A');
  Pump();
  auto keys = Recorder::Get().Sequence({WM_KEYDOWN, WM_CHAR, WM_KEYUP});
  ASSERT_EQ(keys.size(), 3u);
  EXPECT_EQ(keys[1].second, static_cast<UINT>(WM_CHAR));
  EXPECT_EQ(Recorder::Get().Of(WM_CHAR).front().wParam, static_cast<WPARAM>('a'));
}

// Timers and paint.

TEST(Timers, FireAtTheirIntervalOnTheManualClockAndCollapseMissedTicks) {
  TwlTestUseManualClock(TRUE);
  RegisterRecordingClass("Recorder");
  HWND window = MakeWindow("Recorder", WS_POPUP, {0, 0, 10, 10});
  Pump();
  ASSERT_EQ(SetTimer(window, 17, 1000, nullptr), 17u);
  MSG msg;
  TwlTestAdvanceClock(999);
  EXPECT_FALSE(PeekMessageA(&msg, window, WM_TIMER, WM_TIMER, PM_REMOVE));
  TwlTestAdvanceClock(1);
  ASSERT_TRUE(PeekMessageA(&msg, window, WM_TIMER, WM_TIMER, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 17u);
  EXPECT_EQ(msg.time, timeGetTime()) << "message times and timeGetTime read the same clock";
  TwlTestAdvanceClock(5000);
  EXPECT_TRUE(PeekMessageA(&msg, window, WM_TIMER, WM_TIMER, PM_REMOVE));
  EXPECT_FALSE(PeekMessageA(&msg, window, WM_TIMER, WM_TIMER, PM_REMOVE));
  ASSERT_TRUE(KillTimer(window, 17));
  TwlTestAdvanceClock(5000);
  EXPECT_FALSE(PeekMessageA(&msg, window, WM_TIMER, WM_TIMER, PM_REMOVE));
  EXPECT_FALSE(KillTimer(window, 17));
}

TEST(Timers, WakeAWaitingGetMessageInRealTime) {
  RegisterRecordingClass("Recorder");
  HWND window = MakeWindow("Recorder", WS_POPUP, {0, 0, 10, 10});
  Pump();
  // A guard against hanging if timers never fire: quit after a long time.
  std::thread guard([thread = GetWindowThreadProcessId(window, nullptr)] {
    std::this_thread::sleep_for(std::chrono::seconds(30));
    PostThreadMessageA(thread, WM_QUIT, 99, 0);
  });
  guard.detach();
  SetTimer(window, 1, 20, nullptr);
  auto start = std::chrono::steady_clock::now();
  int ticks = 0;
  MSG msg;
  while (ticks < 3 && GetMessageA(&msg, nullptr, 0, 0) > 0)
    if (msg.message == WM_TIMER && msg.hwnd == window) ++ticks;
  EXPECT_EQ(ticks, 3);
  // Never early: three ticks of 20 ms take at least 60 ms (less a clock step).
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(50));
}

TEST(Timers, AThreadTimerSetAgainByItsIdIsReplacedNotDoubled) {
  TwlTestUseManualClock(TRUE);
  Pump();
  UINT_PTR id = SetTimer(nullptr, 0, 100, nullptr);
  ASSERT_NE(id, 0u);
  EXPECT_EQ(SetTimer(nullptr, id, 300, nullptr), id);
  UINT_PTR other = SetTimer(nullptr, id + 40, 1000, nullptr);
  EXPECT_NE(other, id) << "an id the thread does not have is not taken";
  EXPECT_NE(other, id + 40);
  MSG msg;
  TwlTestAdvanceClock(100);
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE)) << "the first interval is gone";
  TwlTestAdvanceClock(200);
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE));
  EXPECT_EQ(msg.wParam, id);
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE)) << "one timer, one message";
  EXPECT_TRUE(KillTimer(nullptr, id));
  EXPECT_FALSE(KillTimer(nullptr, id)) << "nothing left under that id";
}

namespace {
int timerProcCalls = 0;
void CALLBACK CountingTimerProc(HWND, UINT, UINT_PTR, DWORD) { ++timerProcCalls; }
}  // namespace

TEST(Timers, DispatchCallsOnlyARegisteredTimerProcedure) {
  TwlTestUseManualClock(TRUE);
  UINT_PTR id = SetTimer(nullptr, 0, 50, CountingTimerProc);
  ASSERT_NE(id, 0u);
  TwlTestAdvanceClock(50);
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE));
  DispatchMessageA(&msg);
  EXPECT_EQ(timerProcCalls, 1);
  // A posted WM_TIMER naming some address is not a call.
  MSG forged{nullptr, WM_TIMER, id + 1, reinterpret_cast<LPARAM>(&CountingTimerProc), 0, {}};
  DispatchMessageA(&forged);
  EXPECT_EQ(timerProcCalls, 1);
}

TEST(Paint, SeveralInvalidationsMakeOnePaintOfTheirUnion) {
  RegisterRecordingClass("Recorder");
  RECT painted{};
  Recorder::Get().On(WM_PAINT, [&painted](HWND w, WPARAM, LPARAM) {
    PAINTSTRUCT ps;
    EXPECT_TRUE(BeginPaint(w, &ps));
    painted = ps.rcPaint;
    EndPaint(w, &ps);
    return LRESULT{0};
  });
  HWND window = MakeWindow("Recorder", WS_POPUP | WS_VISIBLE, {0, 0, 200, 100});
  Pump();
  Recorder::Get().Clear();
  RECT a{10, 10, 20, 20}, b{50, 5, 60, 15}, c{30, 40, 35, 45};
  InvalidateRect(window, &a, FALSE);
  InvalidateRect(window, &b, FALSE);
  InvalidateRect(window, &c, TRUE);
  RECT update;
  ASSERT_TRUE(GetUpdateRect(window, &update, FALSE));
  EXPECT_EQ(update.left, 10);
  EXPECT_EQ(update.top, 5);
  EXPECT_EQ(update.right, 60);
  EXPECT_EQ(update.bottom, 45);
  Pump();
  EXPECT_EQ(Recorder::Get().Of(WM_PAINT).size(), 1u);
  EXPECT_EQ(painted.right, 60);
  EXPECT_EQ(Recorder::Get().Of(WM_ERASEBKGND).size(), 1u);
  EXPECT_FALSE(GetUpdateRect(window, &update, FALSE));
}

TEST(Paint, HiddenWindowsGetNoPaintUntilShown) {
  RegisterRecordingClass("Recorder");
  HWND window = MakeWindow("Recorder", WS_POPUP, {0, 0, 100, 100});
  InvalidateRect(window, nullptr, TRUE);
  Pump();
  EXPECT_TRUE(Recorder::Get().Of(WM_PAINT).empty());
  ShowWindow(window, SW_SHOWNA);
  Pump();
  EXPECT_EQ(Recorder::Get().Of(WM_PAINT).size(), 1u);
}
