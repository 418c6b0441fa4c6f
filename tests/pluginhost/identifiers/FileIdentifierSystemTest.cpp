// The identifier system's queue with scripted identifiers: counted
// queueing, records a player holds, complete records, identifiers added
// while the worker runs, and the idle worker.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "ScriptedIdentifier.h"
#include <twlwin/testing_user.h>
#include "pluginhost/identifiers/FileIdentifierSystem.h"
#include "support/RecordingLogFront.h"

namespace {

using identifiertest::ScriptedIdentifier;

constexpr DWORD kPatience = 120000;  // a hang fails the test instead of blocking it

// Two identifiers: "first" sets only a type text (priority 100), "second"
// a type text (200) and an icon (50), so a record is complete only once
// the second has run. Both join while the worker runs.
class IdentifierQueueTest : public ::testing::Test {
 protected:
  void SetUp() override {
    system.Init(nullptr, files);
    first = new ScriptedIdentifier("first", files, 100, 0);
    second = new ScriptedIdentifier("second", files, 200, 50);
    system.AddIdentifier(first);
    system.AddIdentifier(second);
  }
  void TearDown() override { system.Exit(); }

  FileInfoRecord* Record(const char* url) { return files.Get(url); }
  // Queues `url` and waits until the first identifier is held inside it.
  void HoldFirstAt(const char* url) {
    first->HoldAt(url);
    system.AddFileObject(Record(url));
    ASSERT_TRUE(first->WaitUntilHeld());
  }
  void WaitIdle() { ASSERT_TRUE(system.WaitUntilIdle(kPatience)); }

  twltest::RecordingLogFront log;
  CFileInfoDataBase files;
  CFileIdentifierSystem system;
  ScriptedIdentifier* first = nullptr;
  ScriptedIdentifier* second = nullptr;
};

TEST_F(IdentifierQueueTest, ARecordQueuedTwiceAndRemovedOnceStaysQueued) {
  HoldFirstAt("file:///x");
  system.AddFileObject(Record("file:///twice"));
  system.AddFileObject(Record("file:///twice"));
  system.RemoveFileObject(Record("file:///twice"));
  system.AddFileObject(Record("file:///once"));
  system.RemoveFileObject(Record("file:///once"));
  system.RemoveFileObject(Record("file:///never"));  // nothing to remove
  first->Release();
  WaitIdle();
  EXPECT_EQ(first->CallsFor("file:///twice"), 1);
  EXPECT_EQ(second->CallsFor("file:///twice"), 1);
  EXPECT_EQ(first->CallsFor("file:///once"), 0);
  EXPECT_EQ(system.GetIdentifierCount(), 2);
}

TEST_F(IdentifierQueueTest, AHeldRecordWaitsUntilIdentificationRestarts) {
  HoldFirstAt("file:///held");
  EXPECT_EQ(system.GetCurrentObject(), Record("file:///held"));
  system.AddToPendingList(Record("file:///held"));
  {
    CriticalSectionLock lock(files.GetLock());
    EXPECT_TRUE(system.IsHeld(Record("file:///held")));
  }
  first->Release();
  WaitIdle();
  EXPECT_EQ(system.GetCurrentObject(), nullptr);
  EXPECT_EQ(second->CallsFor("file:///held"), 0) << "broken off before the next identifier";
  system.AddFileObject(Record("file:///held"));  // counted on its waiting node
  system.AddFileObject(Record("file:///other"));
  WaitIdle();
  EXPECT_EQ(first->CallsFor("file:///held"), 1) << "waiting, not queued";
  EXPECT_EQ(second->CallsFor("file:///other"), 1);

  system.RestartIdentification();
  WaitIdle();
  EXPECT_EQ(first->CallsFor("file:///held"), 2);
  EXPECT_EQ(second->CallsFor("file:///held"), 1);
  CriticalSectionLock lock(files.GetLock());
  EXPECT_FALSE(system.IsHeld(Record("file:///held"))) << "every hold ends with the restart";
  EXPECT_TRUE(Record("file:///held")->IsIdentified());
}

TEST_F(IdentifierQueueTest, ACompleteRecordIsNotAskedAboutButEveryIdentifierIsAskedOnceOneStarted) {
  files.UpdateFileInfo("file:///known", "known", 10, 1, 10, -1, 0);
  system.AddFileObject(Record("file:///known"));  // already complete: not queued

  HoldFirstAt("file:///x");
  system.AddFileObject(Record("file:///late"));
  files.UpdateFileInfo("file:///late", "late", 10, 1, 10, -1, 0);  // complete while it waited
  first->Release();
  WaitIdle();
  EXPECT_EQ(first->CallsFor("file:///known"), 0);
  EXPECT_EQ(first->CallsFor("file:///late"), 0);
  EXPECT_EQ(second->CallsFor("file:///late"), 0);

  // A first identifier that completes the record does not stop the second,
  // whose higher priority then wins the text.
  CFileIdentifierSystem own;
  own.AddIdentifier(new ScriptedIdentifier("dropped", files, 1, 1));
  own.Init(nullptr, files);
  EXPECT_EQ(own.GetIdentifierCount(), 0) << "Init starts from nothing";
  own.AddIdentifier(new ScriptedIdentifier("complete", files, 100, 100));
  auto* after = new ScriptedIdentifier("after", files, 200, 0);
  own.AddIdentifier(after);
  own.AddFileObject(Record("file:///both"));
  ASSERT_TRUE(own.WaitUntilIdle(kPatience));
  EXPECT_EQ(after->CallsFor("file:///both"), 1);
  CriticalSectionLock lock(files.GetLock());
  const FileInfoRecord* both = Record("file:///both");
  EXPECT_EQ(*both->typeText, "after");
  EXPECT_EQ(both->typeTextPriority, 200);
  EXPECT_EQ(both->typeIconPriority, 100);
  own.Exit();
}

TEST(FileIdentifierWorker, WithoutIdentifiersQueuedRecordsAreDroppedUnidentified) {
  twltest::RecordingLogFront log;
  CFileInfoDataBase files;
  CFileIdentifierSystem system;
  system.Init(nullptr, files);
  system.AddFileObject(files.Get("file:///a"));
  system.AddFileObject(files.Get("file:///b"));
  ASSERT_TRUE(system.WaitUntilIdle(kPatience));
  EXPECT_EQ(system.GetCurrentObject(), nullptr);
  CriticalSectionLock lock(files.GetLock());
  EXPECT_FALSE(files.Get("file:///a")->IsIdentified());
  EXPECT_EQ(log.Entries().front().text, "-------- initializing file identifiers --------\n");
}

// Exit right after Init meets the worker anywhere in its first pass, also
// between its look at the stop event and its sleep: it must end every time.
TEST(FileIdentifierWorker, ExitEndsTheWorkerWhereverItIs) {
  twltest::RecordingLogFront log;
  CFileInfoDataBase files;
  CFileIdentifierSystem system;
  for (int round = 0; round < 300; ++round) {
    system.Init(nullptr, files);
    if (round % 3 == 0) system.AddFileObject(files.Get(("file:///r" + std::to_string(round)).c_str()));
    system.Exit();
  }
  EXPECT_EQ(system.GetWorkerThreadId(), 0u);
}

// The CPU time the kernel has charged to a thread of this process, in
// nanoseconds, and how often it gave the processor up.
struct ThreadUse {
  unsigned long long cpuNanoseconds = 0;
  unsigned long long switches = 0;
};

ThreadUse ReadThreadUse(DWORD threadId) {
  ThreadUse use;
  const std::string task = "/proc/self/task/" + std::to_string(threadId);
  std::ifstream schedstat(task + "/schedstat");
  schedstat >> use.cpuNanoseconds;
  std::ifstream status(task + "/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("voluntary_ctxt_switches:", 0) == 0) std::istringstream(line.substr(24)) >> use.switches;
  return use;
}

TEST(FileIdentifierWorker, AnIdleWorkerUsesNoTimeAndExitWakesItWithoutATimeOut) {
  twltest::RecordingLogFront log;
  CFileInfoDataBase files;
  CFileIdentifierSystem system;
  system.Init(nullptr, files);
  ASSERT_TRUE(system.WaitUntilIdle(kPatience));
  const DWORD worker = system.GetWorkerThreadId();
  ASSERT_NE(worker, 0u);
  // The idle mark is set just before the worker goes to sleep: wait until
  // it has stopped running at all.
  ThreadUse before = ReadThreadUse(worker);
  for (int look = 0; look < 100; ++look) {
    Sleep(50);
    const ThreadUse now = ReadThreadUse(worker);
    if (now.cpuNanoseconds == before.cpuNanoseconds && now.switches == before.switches) break;
    before = now;
  }
  ASSERT_GT(before.cpuNanoseconds, 0u) << "the thread's clock is readable";
  Sleep(300);  // a worker that polled would run meanwhile
  const ThreadUse after = ReadThreadUse(worker);
  EXPECT_EQ(after.cpuNanoseconds, before.cpuNanoseconds);
  EXPECT_EQ(after.switches, before.switches);

  // With the layer's clock standing still, a wait that relied on a
  // time-out would never end: Exit returns only because the events wake
  // the worker.
  TwlTestUseManualClock(TRUE);
  system.Exit();
  TwlTestUseManualClock(FALSE);
  EXPECT_EQ(system.GetWorkerThreadId(), 0u);
  system.Exit();  // twice is harmless
}

}  // namespace
