#include "foundation/kernel/Threads.h"

#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include <twlwin/testing.h>

#include "foundation/kernel/Localizer.h"
#include "foundation/kernel/MemoryError.h"
#include "support/TestPaths.h"

namespace {

// A counted thread that sleeps, then uses the library's globals and writes
// one mark to the file it was given.
DWORD WINAPI SleepThenUseTheLibrary(LPVOID argument) {
  Sleep(300);
  CMemoryError error;
  const bool fine = IsKindOf<CError>(&error) && error.GetText() == "Not enough memory." &&
                    GetLocalizer().GetString("Some.Key", "x")[0] == 'x';
  const int fd = static_cast<int>(reinterpret_cast<intptr_t>(argument));
  (void)!write(fd, fine ? "+" : "-", 1);
  return 0;
}

TWLTEST_CHILD(FourThreadsThenReturn) {
  const int fd = open(args.at(0).c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
  for (int i = 0; i < 4; ++i) {
    HANDLE thread = BeginThread(nullptr, 0, SleepThenUseTheLibrary, reinterpret_cast<LPVOID>(intptr_t{fd}), 0, nullptr);
    if (!thread) return 2;
    CloseHandle(thread);
  }
  return 0;  // returns from main while the threads sleep
}

TEST(BeginThread, ProcessEndWaitsForCountedThreads) {
  const std::string marks = twltest::MakeTempDir() + "/marks";
  const auto start = std::chrono::steady_clock::now();
  const int status = twltest::WaitChild(twltest::SpawnChild("FourThreadsThenReturn", {marks}));
  const auto elapsed = std::chrono::steady_clock::now() - start;
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_GE(elapsed, std::chrono::milliseconds(300));
  EXPECT_EQ(twltest::ReadFile(marks), "++++");
}

DWORD WINAPI WaitForEvent(LPVOID argument) {
  WaitForSingleObject(static_cast<HANDLE>(argument), INFINITE);
  return 0xC0FFEE;
}

TEST(BeginThread, CountsTheThreadUntilItsFunctionHasReturned) {
  EXPECT_EQ(GetLiveThreadCount(), 1);
  HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  DWORD id = 0;
  HANDLE thread = BeginThread(nullptr, 0, WaitForEvent, release, 0, &id);
  ASSERT_NE(thread, nullptr);
  EXPECT_NE(id, 0u);
  EXPECT_EQ(GetLiveThreadCount(), 2);
  SetEvent(release);
  ASSERT_EQ(WaitForSingleObject(thread, 10000), WAIT_OBJECT_0);
  DWORD exitCode = 0;
  ASSERT_TRUE(GetExitCodeThread(thread, &exitCode));
  EXPECT_EQ(exitCode, 0xC0FFEEu);  // the function's own result
  EXPECT_EQ(GetLiveThreadCount(), 1);
  CloseHandle(thread);
  CloseHandle(release);
}

TEST(BeginThread, SuspendedThreadCountsFromItsStart) {
  HANDLE release = CreateEventA(nullptr, TRUE, TRUE, nullptr);
  HANDLE thread = BeginThread(nullptr, 0, WaitForEvent, release, CREATE_SUSPENDED, nullptr);
  ASSERT_NE(thread, nullptr);
  EXPECT_EQ(GetLiveThreadCount(), 2);
  EXPECT_EQ(WaitForSingleObject(thread, 50), WAIT_TIMEOUT);
  ResumeThread(thread);
  ASSERT_EQ(WaitForSingleObject(thread, 10000), WAIT_OBJECT_0);
  EXPECT_EQ(GetLiveThreadCount(), 1);
  CloseHandle(thread);
  CloseHandle(release);
}

TEST(BeginThread, NullFunctionIsRefused) {
  DWORD id = 77;
  EXPECT_EQ(BeginThread(nullptr, 0, nullptr, nullptr, 0, &id), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(GetLiveThreadCount(), 1);
}

DWORD WINAPI Nothing(LPVOID) { return 0; }

TEST(BeginThread, FailedStartLeavesTheCountUnchanged) {
  TwlTestFailThreadStarts(1);
  DWORD id = 77;
  SetLastError(ERROR_SUCCESS);
  EXPECT_EQ(BeginThread(nullptr, 0, Nothing, nullptr, 0, &id), nullptr);
  EXPECT_EQ(GetLiveThreadCount(), 1);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));  // the platform's reason
  EXPECT_EQ(id, 0u);

  HANDLE thread = BeginThread(nullptr, 0, Nothing, nullptr, 0, nullptr);  // the next start works
  ASSERT_NE(thread, nullptr);
  ASSERT_EQ(WaitForSingleObject(thread, 10000), WAIT_OBJECT_0);
  CloseHandle(thread);
  EXPECT_EQ(GetLiveThreadCount(), 1);
}

std::vector<int>* g_Calls = nullptr;
void First() { g_Calls->push_back(1); }
void Second() { g_Calls->push_back(2); }
void AddsAnother() {
  g_Calls->push_back(3);
  AddThreadExitCallback(First);
}

DWORD WINAPI RegistersExitCallbacks(LPVOID) {
  AddThreadExitCallback(First);
  AddThreadExitCallback(Second);
  AddThreadExitCallback(AddsAnother);
  return 0;
}

TEST(BeginThread, ExitCallbacksRunWhenTheThreadEnds) {
  std::vector<int> calls;
  g_Calls = &calls;
  HANDLE thread = BeginThread(nullptr, 0, RegistersExitCallbacks, nullptr, 0, nullptr);
  ASSERT_NE(thread, nullptr);
  ASSERT_EQ(WaitForSingleObject(thread, 10000), WAIT_OBJECT_0);
  CloseHandle(thread);
  EXPECT_EQ(calls, (std::vector<int>{3, 2, 1, 1}));

  calls.clear();
  RunThreadExitCallbacks();  // this thread has none
  EXPECT_TRUE(calls.empty());
  AddThreadExitCallback(Second);
  RunThreadExitCallbacks();
  RunThreadExitCallbacks();  // the list is empty after a run
  EXPECT_EQ(calls, (std::vector<int>{2}));
}

}  // namespace
