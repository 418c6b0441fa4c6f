#include <windows.h>
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "SplitFlock.h"
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

namespace {

// Two processes create the same names at the same moment, round after
// round; they meet at a barrier in shared memory before each create.
constexpr int kRaceRounds = 300;

struct RaceBoard {
  std::atomic<int> arrived[kRaceRounds];
  std::atomic<uint8_t> madeIt[2][kRaceRounds];  // told the mutex was new
  std::atomic<int> finished;                    // sides done with every round
};

std::string RaceBoardFile() { return twltest::SandboxDir() + "/race.board"; }

RaceBoard* MapRaceBoard(bool create) {
  int fd = open(RaceBoardFile().c_str(), O_RDWR | (create ? O_CREAT | O_TRUNC : 0), 0600);
  if (fd < 0 || (create && ftruncate(fd, sizeof(RaceBoard)) != 0)) return nullptr;
  void* memory = mmap(nullptr, sizeof(RaceBoard), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
  close(fd);
  return memory == MAP_FAILED ? nullptr : static_cast<RaceBoard*>(memory);
}

}  // namespace

TWLTEST_CHILD(RaceToCreateMutexes) {
  int side = std::stoi(args.at(0));
  kerneltest::SplitFlockConversions();
  RaceBoard* board = MapRaceBoard(false);
  if (!board) return 2;
  std::vector<HANDLE> kept;
  for (int round = 0; round < kRaceRounds; ++round) {
    board->arrived[round].fetch_add(1);
    while (board->arrived[round].load() < 2) {
    }
    std::string name = "Local\\Race" + std::to_string(round);
    HANDLE mutex = CreateMutexA(nullptr, FALSE, name.c_str());
    if (!mutex) return 3;
    board->madeIt[side][round] = GetLastError() == ERROR_SUCCESS ? 1 : 0;
    kept.push_back(mutex);  // open until both have created it
  }
  // A side that ended now would close its mutexes while the other may still
  // be creating the last name, which would then be new to both.
  board->finished.fetch_add(1);
  while (board->finished.load() < 2) {
  }
  return 0;
}

TEST(NamedMutexes, OfTwoProcessesCreatingOneNameAtOnceExactlyOneIsToldItIsNew) {
  RaceBoard* board = MapRaceBoard(true);
  ASSERT_NE(board, nullptr);
  pid_t first = twltest::SpawnChild("RaceToCreateMutexes", {"0"});
  pid_t second = twltest::SpawnChild("RaceToCreateMutexes", {"1"});
  for (pid_t child : {first, second}) {
    int status = twltest::WaitChild(child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  }
  int bothNew = 0, neither = 0;
  for (int round = 0; round < kRaceRounds; ++round) {
    int made = board->madeIt[0][round] + board->madeIt[1][round];
    bothNew += made == 2;
    neither += made == 0;
  }
  EXPECT_EQ(bothNew, 0) << "rounds where both were told the mutex was new";
  EXPECT_EQ(neither, 0);
}
