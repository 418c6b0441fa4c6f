#include <windows.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "support/TestPaths.h"

namespace {

const char* kSharedName = "Local\\TwlTestMutex";

std::string SignalFile(const std::string& name) { return twltest::SandboxDir() + "/" + name; }

bool WaitForFile(const std::string& path) {
  for (int i = 0; i < 2000; ++i) {
    if (std::filesystem::exists(path)) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return false;
}

}  // namespace

// Takes the named mutex, says so, and holds it until told to release it
// (args[0] == "release") or ends without releasing it ("die").
TWLTEST_CHILD(HoldNamedMutex) {
  HANDLE mutex = CreateMutexA(nullptr, FALSE, kSharedName);
  if (!mutex || WaitForSingleObject(mutex, 10000) != WAIT_OBJECT_0) return 2;
  twltest::WriteFile(SignalFile("held"), "");
  if (args.at(0) == "die") _exit(0);
  if (!WaitForFile(SignalFile("release"))) return 3;
  ReleaseMutex(mutex);
  CloseHandle(mutex);
  return 0;
}

TEST(Mutexes, OwnerMayTakeItAgainOthersMustWait) {
  HANDLE mutex = CreateMutexA(nullptr, TRUE, nullptr);
  EXPECT_EQ(WaitForSingleObject(mutex, 0), WAIT_OBJECT_0);
  DWORD otherResult = 0, releaseError = 0;
  std::thread([&] {
    otherResult = WaitForSingleObject(mutex, 20);
    ReleaseMutex(mutex);
    releaseError = GetLastError();
  }).join();
  EXPECT_EQ(otherResult, WAIT_TIMEOUT);
  EXPECT_EQ(releaseError, static_cast<DWORD>(ERROR_NOT_OWNER));
  EXPECT_TRUE(ReleaseMutex(mutex));
  std::thread([&] { otherResult = WaitForSingleObject(mutex, 20); }).join();
  EXPECT_EQ(otherResult, WAIT_TIMEOUT) << "taken twice, released once";
  EXPECT_TRUE(ReleaseMutex(mutex));
  EXPECT_FALSE(ReleaseMutex(mutex));
  CloseHandle(mutex);
}

TEST(Mutexes, ThreadEndingWhileOwningAbandonsIt) {
  HANDLE mutex = CreateMutexA(nullptr, FALSE, nullptr);
  std::thread([&] { WaitForSingleObject(mutex, INFINITE); }).join();
  EXPECT_EQ(WaitForSingleObject(mutex, 1000), WAIT_ABANDONED_0);
  EXPECT_TRUE(ReleaseMutex(mutex)) << "an abandoned mutex is owned by whoever got it";
  EXPECT_EQ(WaitForSingleObject(mutex, 0), WAIT_OBJECT_0) << "abandonment is reported once";
  ReleaseMutex(mutex);
  CloseHandle(mutex);
}

TEST(Mutexes, NamesAreSharedAndReportAlreadyExists) {
  HANDLE first = CreateMutexA(nullptr, FALSE, "Local\\SameName");
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
  HANDLE second = CreateMutexA(nullptr, TRUE, "Local\\SameName");
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  EXPECT_NE(first, second);
  // The second create did not take ownership: the mutex already existed.
  DWORD otherResult = 0;
  std::thread([&] { otherResult = WaitForSingleObject(first, 0); }).join();
  EXPECT_EQ(otherResult, WAIT_OBJECT_0);

  HANDLE event = CreateEventA(nullptr, TRUE, FALSE, "Local\\SameName");
  EXPECT_EQ(event, nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_EQ(OpenMutexA(SYNCHRONIZE, FALSE, "Local\\OtherName"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  CloseHandle(first);
  CloseHandle(second);
}

TEST(NamedMutexes, ChildHoldingItBlocksTheParentUntilItReleases) {
  pid_t child = twltest::SpawnChild("HoldNamedMutex", {"release"});
  ASSERT_TRUE(WaitForFile(SignalFile("held")));
  HANDLE mutex = CreateMutexA(nullptr, FALSE, kSharedName);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS)) << "the child has it open";
  EXPECT_EQ(WaitForSingleObject(mutex, 100), WAIT_TIMEOUT);
  twltest::WriteFile(SignalFile("release"), "");
  EXPECT_EQ(WaitForSingleObject(mutex, 20000), WAIT_OBJECT_0);
  int status = twltest::WaitChild(child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  ReleaseMutex(mutex);
  CloseHandle(mutex);
}

TEST(NamedMutexes, ChildDyingWhileHoldingItLeavesItAbandoned) {
  HANDLE mutex = CreateMutexA(nullptr, FALSE, kSharedName);
  pid_t child = twltest::SpawnChild("HoldNamedMutex", {"die"});
  ASSERT_TRUE(WaitForFile(SignalFile("held")));
  int status = twltest::WaitChild(child);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  EXPECT_EQ(WaitForSingleObject(mutex, 10000), WAIT_ABANDONED_0);
  EXPECT_TRUE(ReleaseMutex(mutex));
  EXPECT_EQ(WaitForSingleObject(mutex, 0), WAIT_OBJECT_0);
  ReleaseMutex(mutex);
  CloseHandle(mutex);
}
