// Disk files made on a worker thread (host API slots 156-158): callbacks on
// the delivery thread, and releases from inside callbacks, while results
// are queued and from other threads. Run under ThreadSanitizer too.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <functional>
#include <thread>
#include <vector>

#include "DiskFileSupport.h"
#include "GatedStreams.h"
#include "pluginhost/diskfile/DiskFileCallbackManager.h"
#include "pluginhost/hostapi/HostApiModule.h"
#include "support/TestPaths.h"

using namespace diskfiletest;

namespace {

// What one creator's callback does, and what it saw.
struct Request {
  std::function<void(Request&)> onDone;  // run inside the callback
  int calls = 0;
  BOOL success = FALSE;
  std::string errorText;
  DWORD streamErrorCode = 0;
  HOST_FILECREATOR creator = nullptr;
};

void Callback(uintptr_t userValue, HOST_FILECREATOR creator, BOOL success) {
  auto& request = *reinterpret_cast<Request*>(userValue);
  ++request.calls;
  request.success = success;
  EXPECT_EQ(creator, request.creator);
  if (!success && Host().HOST_GetErrorText()) request.errorText = Host().HOST_GetErrorText();
  if (!success) request.streamErrorCode = Host().HOST_GetStreamErrorCode();
  if (request.onDone) request.onDone(request);
}

HOST_FILECREATOR Start(Request& request, const std::string& url, const char* suffix = nullptr, DWORD flags = 0) {
  EXPECT_TRUE(Host().HOST_CreateThreadFileCreator(url.c_str(), nullptr, suffix, &Callback,
                                                  reinterpret_cast<uintptr_t>(&request), flags, Caller(),
                                                  &request.creator))
      << Host().HOST_GetErrorText();
  return request.creator;
}

// The message loop of the delivery thread, until `done` or five seconds.
bool PumpUntil(const std::function<bool()>& done) {
  for (int i = 0; i < 500; ++i) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    if (done()) return true;
    Sleep(10);
  }
  return false;
}

// Delivers whatever comes during a fifth of a second.
void PumpAWhile() {
  for (int i = 0; i < 20; ++i) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    Sleep(10);
  }
}

// Waits (without delivering) until `count` results are queued: each posts
// one delivery message, which is looked at and put back.
bool WaitForQueuedResults(size_t count) {
  constexpr UINT kDeliver = CThreadDiskFileCreatorCallbackManager::kDeliverMessage;
  for (int i = 0; i < 500; ++i) {
    std::vector<MSG> taken;
    MSG message;
    while (PeekMessageA(&message, nullptr, kDeliver, kDeliver, PM_REMOVE)) taken.push_back(message);
    for (const MSG& put : taken) PostMessageA(put.hwnd, put.message, put.wParam, put.lParam);
    if (taken.size() >= count) return true;
    Sleep(10);
  }
  return false;
}

// Runs `work` on another thread; false when it has not ended in five
// seconds (it is left behind then).
bool FinishesOnAnotherThread(const std::function<void()>& work) {
  auto finished = std::make_shared<std::atomic<bool>>(false);
  std::thread thread([work, finished] {
    work();
    finished->store(true);
  });
  for (int i = 0; i < 500 && !finished->load(); ++i) Sleep(10);
  if (!finished->load()) {
    thread.detach();
    return false;
  }
  thread.join();
  return true;
}

class ThreadDiskFile : public testing::Test {
 protected:
  void SetUp() override { InitHostApi(); }
  void TearDown() override { ExitHostApi(); }

  std::string LocalSong() {
    const std::string song = twltest::MakeTempDir("music") + "/a.wav";
    twltest::WriteFile(song, "RIFF....");
    return song;
  }
};

TEST_F(ThreadDiskFile, TheNameIsRefusedUntilSuccessIsReportedAndAvailableAfterwards) {
  Request request;
  Start(request, gated::Url("slow"), ".bin");
  char* name = nullptr;
  EXPECT_FALSE(Host().HOST_FileCreatorGetFileName(request.creator, &name));
  EXPECT_EQ(Host().HOST_GetMiscErrorCode(), 5u);

  gated::Open("slow");
  ASSERT_TRUE(PumpUntil([&] { return request.calls > 0; }));
  EXPECT_EQ(request.calls, 1);
  EXPECT_TRUE(request.success);
  ASSERT_TRUE(Host().HOST_FileCreatorGetFileName(request.creator, &name));
  const std::string path = TakeName(name);
  EXPECT_TRUE(path.ends_with(".bin"));
  EXPECT_EQ(twltest::ReadFile(path), gated::Content());
  Host().HOST_FileCreatorRelease(request.creator);
  EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(ThreadDiskFile, AFailureCallbackReadsTheWorkersError) {
  gated::Break("lost");
  Request request;
  Start(request, gated::Url("lost"));
  ASSERT_TRUE(PumpUntil([&] { return request.calls > 0; }));
  EXPECT_FALSE(request.success);
  EXPECT_NE(request.errorText.find("gated://lost"), std::string::npos) << request.errorText;
  EXPECT_EQ(request.streamErrorCode, 15u);
  Host().HOST_FileCreatorRelease(request.creator);
}

TEST_F(ThreadDiskFile, ReleasingInsideItsOwnCallbackDeletesTheCopyWithoutBlocking) {
  const auto before = TempFolderNames();
  Request request;
  std::string copied;
  request.onDone = [&](Request& r) {
    char* name = nullptr;
    ASSERT_TRUE(Host().HOST_FileCreatorGetFileName(r.creator, &name));
    copied = TakeName(name);
    EXPECT_TRUE(std::filesystem::exists(copied));
    Host().HOST_FileCreatorRelease(r.creator);
  };
  Start(request, "file://" + LocalSong(), ".mp3", 1);
  ASSERT_TRUE(PumpUntil([&] { return request.calls > 0; }));
  EXPECT_TRUE(copied.ends_with(".mp3"));
  EXPECT_FALSE(std::filesystem::exists(copied));
  EXPECT_EQ(TempFolderNames(), before);
}

TEST_F(ThreadDiskFile, ACreatorReleasedWhileItsResultIsQueuedIsNeverCalledBack) {
  Request request;
  Start(request, "file://" + LocalSong());
  ASSERT_TRUE(WaitForQueuedResults(1));
  Host().HOST_FileCreatorRelease(request.creator);
  PumpAWhile();
  EXPECT_EQ(request.calls, 0);
}

TEST_F(ThreadDiskFile, ReleasingAnotherCreatorInsideACallbackLeavesTheFirstReleasable) {
  const std::string song = LocalSong();
  Request first, second;
  first.onDone = [&](Request&) { Host().HOST_FileCreatorRelease(second.creator); };
  Start(first, "file://" + song);
  ASSERT_TRUE(WaitForQueuedResults(1));
  Start(second, "file://" + song);
  ASSERT_TRUE(WaitForQueuedResults(2));
  ASSERT_TRUE(PumpUntil([&] { return first.calls > 0; }));
  EXPECT_EQ(second.calls, 0);
  // The first creator is idle again: a release from another thread ends.
  EXPECT_TRUE(FinishesOnAnotherThread([&] { Host().HOST_FileCreatorRelease(first.creator); }));
}

TEST_F(ThreadDiskFile, AReleaseFromAnotherThreadWaitsForTheRunningCallback) {
  Request request;
  HANDLE inCallback = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  std::atomic<bool> callbackEnded{false};
  std::atomic<bool> releasedBeforeCallbackEnded{false};
  request.onDone = [&](Request&) {
    SetEvent(inCallback);
    Sleep(100);  // the releasing thread is waiting meanwhile
    callbackEnded = true;
  };
  Start(request, "file://" + LocalSong());
  std::thread releaser([&] {
    WaitForSingleObject(inCallback, INFINITE);
    Host().HOST_FileCreatorRelease(request.creator);
    releasedBeforeCallbackEnded = !callbackEnded.load();
  });
  ASSERT_TRUE(PumpUntil([&] { return request.calls > 0 && callbackEnded; }));
  releaser.join();
  EXPECT_FALSE(releasedBeforeCallbackEnded);
  EXPECT_EQ(request.calls, 1);
  CloseHandle(inCallback);
}

TEST_F(ThreadDiskFile, AReleaseWhileTheWorkerCopiesStopsItQuietly) {
  const auto before = TempFolderNames();
  Request request;
  Start(request, gated::Url("never"), ".bin");
  Sleep(50);  // the worker is polling the closed gate now
  EXPECT_TRUE(FinishesOnAnotherThread([&] { Host().HOST_FileCreatorRelease(request.creator); }));
  PumpAWhile();
  EXPECT_EQ(request.calls, 0);
  EXPECT_EQ(TempFolderNames(), before);
}

TEST_F(ThreadDiskFile, BadArgumentsAreInvalidParameters) {
  HOST_FILECREATOR creator = nullptr;
  EXPECT_FALSE(Host().HOST_CreateThreadFileCreator(nullptr, nullptr, nullptr, &Callback, 0, 0, Caller(), &creator));
  EXPECT_FALSE(Host().HOST_CreateThreadFileCreator("file:///x", nullptr, nullptr, nullptr, 0, 0, Caller(), &creator));
  EXPECT_FALSE(Host().HOST_CreateThreadFileCreator("file:///x", nullptr, nullptr, &Callback, 0, 0, nullptr, &creator));
  EXPECT_EQ(Host().HOST_GetMiscErrorCode(), 1u);
}

}  // namespace
