// The provider list: who deletes providers, and changes that wait for the
// selections under way without any provider running under the lock.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

#include "Bounded.h"
#include "StreamTestHelpers.h"
#include "foundation/filesystem/FileSystem.h"
#include "foundation/streams/DiskFileStreamProvider.h"
#include "foundation/streams/StreamError.h"
#include "foundation/streams/StreamFlags.h"

namespace {

class CCountedProvider : public CStreamProvider {
 public:
  explicit CCountedProvider(int* deleted) : m_Deleted(deleted) {}
  ~CCountedProvider() override { ++*m_Deleted; }
  bool CanOpen(const char*, DWORD, StreamOpenAnswer&) override { return false; }
  CStream* Open(const char*, DWORD) override { return nullptr; }

 private:
  int* m_Deleted;
};

// Its CanOpen waits until released, so a selection stays under way.
class CBlockingProvider : public CStreamProvider {
 public:
  CBlockingProvider()
      : entered(CreateEventA(nullptr, TRUE, FALSE, nullptr)), release(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
  ~CBlockingProvider() override {
    CloseHandle(entered);
    CloseHandle(release);
  }
  bool CanOpen(const char*, DWORD, StreamOpenAnswer&) override {
    SetEvent(entered);
    WaitForSingleObject(release, 30000);
    returned = true;
    return false;
  }
  CStream* Open(const char*, DWORD) override { return nullptr; }

  HANDLE entered;
  HANDLE release;
  std::atomic<bool> returned{false};
};

class CThrowingProvider : public CStreamProvider {
 public:
  bool CanOpen(const char* url, DWORD, StreamOpenAnswer&) override {
    ThrowError<CStreamError>(CStreamError::kCanEstablishConnection, url);
  }
  CStream* Open(const char* url, DWORD) override {
    ThrowError<CStreamError>(CStreamError::kDeadConnection, url);
  }
};

}  // namespace

TEST(FileSystemProviders, ListOrderAndWhoDeletes) {
  int deleted = 0;
  {
    CFileSystem fileSystem(false);
    EXPECT_EQ(fileSystem.GetProviderCount(), 0);
    CStreamProvider* providers[4];
    for (CStreamProvider*& provider : providers) {
      provider = new CCountedProvider(&deleted);
      fileSystem.AddProvider(provider);
    }
    EXPECT_EQ(fileSystem.GetProviderCount(), 4);
    EXPECT_EQ(fileSystem.GetProvider(1), providers[1]);
    EXPECT_EQ(fileSystem.GetProvider(4), nullptr);

    // The data system takes its provider back without having it deleted.
    fileSystem.RemoveProvider(1, false);
    EXPECT_EQ(deleted, 0);
    EXPECT_EQ(fileSystem.GetProvider(1), providers[2]);
    delete providers[1];
    EXPECT_EQ(deleted, 1);

    fileSystem.RemoveProvider(0, true);
    EXPECT_EQ(deleted, 2);
    EXPECT_EQ(fileSystem.GetProviderCount(), 2);
  }
  EXPECT_EQ(deleted, 4);  // the rest went with the file system

  deleted = 0;
  CFileSystem fileSystem(false);
  CCountedProvider kept(&deleted);
  auto* taken = new CCountedProvider(&deleted);
  fileSystem.AddProvider(&kept);
  fileSystem.AddProvider(taken);
  fileSystem.RemoveAllProviders(false);
  EXPECT_EQ(fileSystem.GetProviderCount(), 0);
  EXPECT_EQ(deleted, 0);
  delete taken;
  deleted = 0;
  fileSystem.AddProvider(new CCountedProvider(&deleted));
  fileSystem.RemoveAllProviders(true);
  EXPECT_EQ(deleted, 1);
}

TEST(FileSystemProviders, TheDiskProviderComesFirst) {
  CFileSystem withDisk;
  ASSERT_EQ(withDisk.GetProviderCount(), 1);
  EXPECT_TRUE(IsKindOf<CDiskFileStreamProvider>(withDisk.GetProvider(0)));
  EXPECT_EQ(CFileSystem(false).GetProviderCount(), 0);

  // Made through its class record, it has the disk provider too.
  CTypedObject* made = CFileSystem::ClassRecord.create();
  ASSERT_TRUE(IsKindOf<CFileSystem>(made));
  EXPECT_EQ(static_cast<CFileSystem*>(made)->GetProviderCount(), 1);
  delete made;
  EXPECT_EQ(GetFileSystem().GetProviderCount(), 1);
  EXPECT_TRUE(IsKindOf<CDiskFileStreamProvider>(GetFileSystem().GetProvider(0)));
}

// While a provider runs, the list can be read at once but not changed: an
// AddProvider from another thread returns only after the selection ended.
TEST(FileSystemProviders, AddWaitsForTheSelectionUnderWay) {
  CFileSystem fileSystem(false);
  auto* blocking = new CBlockingProvider;
  fileSystem.AddProvider(blocking);
  auto selector = std::async(std::launch::async, [&] {
    StreamOpenAnswer answer{};
    return fileSystem.FindProvider("x://a", kStreamRead, answer, false, nullptr);
  });
  ASSERT_EQ(WaitForSingleObject(blocking->entered, 30000), WAIT_OBJECT_0);

  // No provider runs under the lock: the list answers from other threads.
  auto count = std::async(std::launch::async, [&] { return fileSystem.GetProviderCount(); });
  EXPECT_EQ(streamtest::AwaitOrExit(count, "GetProviderCount during a selection"), 1);

  int deleted = 0;
  std::atomic<bool> added{false};
  bool selectionHadEnded = false;
  auto adder = std::async(std::launch::async, [&] {
    fileSystem.AddProvider(new CCountedProvider(&deleted));
    selectionHadEnded = blocking->returned;
    added = true;
    return true;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_FALSE(added) << "the list changed during a selection";
  SetEvent(blocking->release);
  EXPECT_FALSE(streamtest::AwaitOrExit(selector, "the selection"));
  EXPECT_TRUE(streamtest::AwaitOrExit(adder, "AddProvider"));
  EXPECT_TRUE(selectionHadEnded);
  EXPECT_EQ(fileSystem.GetProviderCount(), 2);
}

// A provider's error passes on, and the selection still ends: the list can
// change afterwards.
TEST(FileSystemProviders, AProviderErrorEndsTheSelection) {
  CFileSystem fileSystem(false);
  fileSystem.AddProvider(new CThrowingProvider);
  StreamOpenAnswer answer{};
  EXPECT_EQ(streamtest::CodeThrown([&] { fileSystem.FindProvider("x://a", kStreamRead, answer, false, nullptr); }),
            CStreamError::kCanEstablishConnection);
  EXPECT_EQ(streamtest::CodeThrown([&] { fileSystem.Open("x://a", kStreamRead, 0); }),
            CStreamError::kCanEstablishConnection);
  EXPECT_EQ(streamtest::CodeThrown([&] { fileSystem.Open("x://a", kStreamRead, 0, true); }),
            CStreamError::kDeadConnection);
  auto removed = std::async(std::launch::async, [&] {
    fileSystem.RemoveAllProviders(true);
    return true;
  });
  EXPECT_TRUE(streamtest::AwaitOrExit(removed, "RemoveAllProviders after a failed selection"));
  EXPECT_EQ(fileSystem.GetProviderCount(), 0);
}
