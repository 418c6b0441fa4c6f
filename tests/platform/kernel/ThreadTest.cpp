#include <windows.h>
#include <twlwin/testing.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>

namespace {

std::atomic<DWORD> idSeenInside{0};

unsigned WINAPI RecordIdAndReturn(void* argument) {
  idSeenInside = GetCurrentThreadId();
  return static_cast<unsigned>(reinterpret_cast<uintptr_t>(argument));
}

DWORD WINAPI ExitEarly(void*) {
  ExitThread(42);
  return 7;  // never reached
}

}  // namespace

TEST(Threads, HandleIsSignalledWithTheExitCodeWhenTheThreadReturns) {
  unsigned id = 0;
  auto handle = reinterpret_cast<HANDLE>(
      _beginthreadex(nullptr, 0, RecordIdAndReturn, reinterpret_cast<void*>(uintptr_t{1234}), 0, &id));
  ASSERT_NE(handle, nullptr);
  EXPECT_EQ(WaitForSingleObject(handle, 10000), WAIT_OBJECT_0);
  DWORD code = 0;
  ASSERT_TRUE(GetExitCodeThread(handle, &code));
  EXPECT_EQ(code, 1234u);
  EXPECT_EQ(idSeenInside.load(), id) << "the id out parameter is the id the thread sees";
  EXPECT_NE(id, GetCurrentThreadId());
  CloseHandle(handle);
}

TEST(Threads, SuspendedThreadRunsOnlyAfterResume) {
  idSeenInside = 0;
  unsigned id = 0;
  auto handle =
      reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, RecordIdAndReturn, nullptr, CREATE_SUSPENDED, &id));
  ASSERT_NE(handle, nullptr);
  EXPECT_EQ(WaitForSingleObject(handle, 100), WAIT_TIMEOUT);
  EXPECT_EQ(idSeenInside.load(), 0u);
  DWORD code = 0;
  GetExitCodeThread(handle, &code);
  EXPECT_EQ(code, STILL_ACTIVE);
  EXPECT_EQ(ResumeThread(handle), 1u);
  EXPECT_EQ(WaitForSingleObject(handle, 10000), WAIT_OBJECT_0);
  EXPECT_EQ(idSeenInside.load(), id);
  CloseHandle(handle);
}

TEST(Threads, ExitThreadEndsTheThreadWithItsCode) {
  HANDLE handle = CreateThread(nullptr, 0, ExitEarly, nullptr, 0, nullptr);
  ASSERT_NE(handle, nullptr);
  EXPECT_EQ(WaitForSingleObject(handle, 10000), WAIT_OBJECT_0);
  DWORD code = 0;
  GetExitCodeThread(handle, &code);
  EXPECT_EQ(code, 42u);
  CloseHandle(handle);
}

TEST(Threads, ClosingTheHandleEarlyLetsTheThreadFinish) {
  HANDLE done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HANDLE handle = CreateThread(
      nullptr, 0,
      [](void* event) -> DWORD {
        Sleep(20);
        SetEvent(static_cast<HANDLE>(event));
        return 0;
      },
      done, 0, nullptr);
  ASSERT_NE(handle, nullptr);
  EXPECT_TRUE(CloseHandle(handle));
  EXPECT_EQ(WaitForSingleObject(done, 10000), WAIT_OBJECT_0);
  CloseHandle(done);
}

TEST(Threads, ForcedStartFailureReportsAndStartsNothing) {
  TwlTestFailThreadStarts(1);
  idSeenInside = 0;
  errno = 0;
  EXPECT_EQ(_beginthreadex(nullptr, 0, RecordIdAndReturn, nullptr, 0, nullptr), 0u);
  EXPECT_EQ(errno, EAGAIN);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
  auto handle = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, RecordIdAndReturn, nullptr, 0, nullptr));
  ASSERT_NE(handle, nullptr) << "only one start was to fail";
  WaitForSingleObject(handle, 10000);
  CloseHandle(handle);
}

TEST(ThreadLocalSlots, HoldOneValuePerThreadAndStartEmptyAfterReallocation) {
  DWORD slot = TlsAlloc();
  ASSERT_NE(slot, TLS_OUT_OF_INDEXES);
  int mine = 1;
  ASSERT_TRUE(TlsSetValue(slot, &mine));
  struct Probe {
    DWORD slot;
    void* seen;
  } probe{slot, &mine};
  HANDLE other = CreateThread(
      nullptr, 0,
      [](void* raw) -> DWORD {
        auto* probe = static_cast<Probe*>(raw);
        probe->seen = TlsGetValue(probe->slot);
        return 0;
      },
      &probe, 0, nullptr);
  WaitForSingleObject(other, 10000);
  CloseHandle(other);
  EXPECT_EQ(probe.seen, nullptr);

  SetLastError(ERROR_ACCESS_DENIED);
  EXPECT_EQ(TlsGetValue(slot), &mine);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS)) << "a read clears the last error";

  ASSERT_TRUE(TlsFree(slot));
  EXPECT_EQ(TlsGetValue(slot), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  DWORD again = TlsAlloc();
  EXPECT_EQ(again, slot);
  EXPECT_EQ(TlsGetValue(again), nullptr) << "an old value must not show through a new slot";
  TlsFree(again);
}
