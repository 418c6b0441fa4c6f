#include <windows.h>
#include <gtest/gtest.h>
#include <twlwin/testing_user.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

long long MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

// Signals `event` after a short while from another thread.
std::thread SetLater(HANDLE event, int milliseconds = 50) {
  return std::thread([=] {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    SetEvent(event);
  });
}

// A field of /proc/self/task/<thread>/status ("State", "voluntary_ctxt_switches").
std::string ThreadStatus(pid_t thread, const std::string& field) {
  std::ifstream in("/proc/self/task/" + std::to_string(thread) + "/status");
  std::string line;
  while (std::getline(in, line))
    if (line.rfind(field + ":", 0) == 0) {
      std::istringstream value(line.substr(field.size() + 1));
      std::string first;
      value >> first;
      return first;
    }
  return "";
}

// Waits (generously, in real time) until the thread sleeps in the kernel.
bool WaitUntilAsleep(pid_t thread) {
  for (int i = 0; i < 10000; ++i) {
    if (ThreadStatus(thread, "State") == "S") return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return false;
}

bool WaitUntil(const std::function<bool()>& done) {
  for (int i = 0; i < 20000 && !done(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  return done();
}

}  // namespace

TEST(Waits, TimeOutWhenNothingIsSignalledAndNotBefore) {
  HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  auto start = Clock::now();
  EXPECT_EQ(WaitForSingleObject(event, 100), WAIT_TIMEOUT);
  EXPECT_GE(MillisecondsSince(start), 100);
  EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);
  CloseHandle(event);
}

TEST(Waits, WakeWhenAnotherThreadSignals) {
  HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  std::thread setter = SetLater(event);
  EXPECT_EQ(WaitForSingleObject(event, INFINITE), WAIT_OBJECT_0);
  setter.join();
  CloseHandle(event);
}

TEST(Waits, AutoResetEventReleasesOneWaitManualResetReleasesAll) {
  HANDLE autoReset = CreateEventA(nullptr, FALSE, TRUE, nullptr);
  EXPECT_EQ(WaitForSingleObject(autoReset, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(autoReset, 0), WAIT_TIMEOUT);

  HANDLE manual = CreateEventA(nullptr, TRUE, TRUE, nullptr);
  EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_OBJECT_0);
  ResetEvent(manual);
  EXPECT_EQ(WaitForSingleObject(manual, 0), WAIT_TIMEOUT);
  CloseHandle(autoReset);
  CloseHandle(manual);
}

TEST(Waits, WaitForAnyAnswersTheIndexOfTheSignalledObject) {
  HANDLE events[3] = {CreateEventA(nullptr, TRUE, FALSE, nullptr), CreateEventA(nullptr, TRUE, FALSE, nullptr),
                      CreateEventA(nullptr, TRUE, FALSE, nullptr)};
  std::thread setter = SetLater(events[2]);
  EXPECT_EQ(WaitForMultipleObjects(3, events, FALSE, 5000), WAIT_OBJECT_0 + 2);
  setter.join();
  for (HANDLE event : events) CloseHandle(event);
}

TEST(Waits, WaitForAllTakesNothingUntilEverythingIsReady) {
  HANDLE autoReset = CreateEventA(nullptr, FALSE, TRUE, nullptr);
  HANDLE other = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HANDLE both[2] = {autoReset, other};
  EXPECT_EQ(WaitForMultipleObjects(2, both, TRUE, 20), WAIT_TIMEOUT);
  // The auto-reset event was not consumed by the failed wait.
  EXPECT_EQ(WaitForSingleObject(autoReset, 0), WAIT_OBJECT_0);
  SetEvent(autoReset);
  std::thread setter = SetLater(other);
  EXPECT_EQ(WaitForMultipleObjects(2, both, TRUE, 5000), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(autoReset, 0), WAIT_TIMEOUT);
  setter.join();
  CloseHandle(autoReset);
  CloseHandle(other);
}

TEST(Waits, BadHandlesFailWithInvalidHandle) {
  HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  CloseHandle(event);
  struct Case {
    const char* name;
    HANDLE handle;
  } cases[] = {{"closed", event}, {"null", nullptr}, {"never issued", ULongToHandle(0x7FFFFF00)}};
  for (const auto& c : cases) {
    SetLastError(0);
    EXPECT_EQ(WaitForSingleObject(c.handle, 0), WAIT_FAILED) << c.name;
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE)) << c.name;
  }
  EXPECT_FALSE(CloseHandle(event));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST(Waits, HandleKeptInA32BitFieldStillWorks) {
  HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  DWORD stored = HandleToULong(event);
  EXPECT_TRUE(SetEvent(ULongToHandle(stored)));
  EXPECT_EQ(WaitForSingleObject(LongToHandle(static_cast<LONG>(stored)), 0), WAIT_OBJECT_0);
  EXPECT_EQ(LongToHandle(HandleToLong(INVALID_HANDLE_VALUE)), INVALID_HANDLE_VALUE);
  CloseHandle(event);
}

TEST(Semaphores, CountLimitsWaitsAndReleasesBeyondTheMaximumFail) {
  HANDLE semaphore = CreateSemaphoreA(nullptr, 1, 2, nullptr);
  EXPECT_EQ(WaitForSingleObject(semaphore, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(semaphore, 0), WAIT_TIMEOUT);
  LONG previous = -1;
  EXPECT_TRUE(ReleaseSemaphore(semaphore, 2, &previous));
  EXPECT_EQ(previous, 0);
  EXPECT_FALSE(ReleaseSemaphore(semaphore, 1, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_TOO_MANY_POSTS));
  CloseHandle(semaphore);
}

TEST(CriticalSections, AreRecursiveAndExcludeOtherThreads) {
  CRITICAL_SECTION section;
  InitializeCriticalSection(&section);
  EnterCriticalSection(&section);
  EnterCriticalSection(&section);
  std::atomic<bool> otherGotIn{true};
  std::thread([&] { otherGotIn = TryEnterCriticalSection(&section) != FALSE; }).join();
  EXPECT_FALSE(otherGotIn);
  LeaveCriticalSection(&section);
  std::thread([&] { otherGotIn = TryEnterCriticalSection(&section) != FALSE; }).join();
  EXPECT_FALSE(otherGotIn) << "still held once";
  LeaveCriticalSection(&section);
  std::thread([&] {
    otherGotIn = TryEnterCriticalSection(&section) != FALSE;
    if (otherGotIn) LeaveCriticalSection(&section);
  }).join();
  EXPECT_TRUE(otherGotIn);
  DeleteCriticalSection(&section);
}

// Sound and emulator code sleeps and waits with time-outs: on the manual
// clock those end when the test moves the clock, not when real time passes.
TEST(ManualClock, EndsSleepsAndWaitTimeOuts) {
  TwlTestUseManualClock(TRUE);
  struct Shared {
    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::atomic<int> ended{0};
    std::atomic<pid_t> threads[3] = {};
  };
  auto shared = std::make_shared<Shared>();
  std::function<void(Shared&)> sleepers[3] = {
      [](Shared&) { Sleep(60000); },
      [](Shared&) { SleepEx(60000, TRUE); },
      [](Shared& s) { EXPECT_EQ(WaitForSingleObject(s.event, 60000), static_cast<DWORD>(WAIT_TIMEOUT)); },
  };
  for (int i = 0; i < 3; ++i) {
    // Left running if they never end, rather than holding the test up.
    std::thread([shared, i, sleep = sleepers[i]] {
      shared->threads[i] = gettid();
      sleep(*shared);
      shared->ended |= 1 << i;
    }).detach();
  }
  for (auto& thread : shared->threads) {
    ASSERT_TRUE(WaitUntil([&] { return thread.load() != 0; }));
    ASSERT_TRUE(WaitUntilAsleep(thread));
  }
  TwlTestAdvanceClock(59999);
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  EXPECT_EQ(shared->ended.load(), 0) << "a millisecond of the clock to go";
  TwlTestAdvanceClock(1);
  EXPECT_TRUE(WaitUntil([&] { return shared->ended.load() == 7; })) << shared->ended.load();
  TwlTestUseManualClock(FALSE);
}

// With sound and decoder threads waiting for their own events, signalling
// one event must not wake every waiting thread of the process.
TEST(Waits, SignallingOneObjectWakesOnlyThoseWaitingForIt) {
  HANDLE mine = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HANDLE other = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  std::atomic<pid_t> waiterThread{0};
  std::thread waiter([&] {
    waiterThread = gettid();
    WaitForSingleObject(mine, INFINITE);
  });
  ASSERT_TRUE(WaitUntil([&] { return waiterThread.load() != 0; }));
  ASSERT_TRUE(WaitUntilAsleep(waiterThread));
  long before = std::stol(ThreadStatus(waiterThread, "voluntary_ctxt_switches"));
  for (int i = 0; i < 100; ++i) {
    SetEvent(other);
    WaitForSingleObject(other, 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(1));  // time for a woken thread to run
  }
  long after = std::stol(ThreadStatus(waiterThread, "voluntary_ctxt_switches"));
  EXPECT_LT(after - before, 10) << "times the waiter woke for an object it does not wait for";
  SetEvent(mine);
  waiter.join();
  CloseHandle(mine);
  CloseHandle(other);
}
