// The flowing stream base: the pending error for readers and the two
// events of the property slots.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "foundation/kernel/MemoryError.h"
#include "foundation/streams/StreamError.h"
#include "plugins/netvarra/streams/FlowingStream.h"

namespace {

// A stream whose worker is the test itself.
class WorkerStream : public CFlowingStream {
 public:
  std::atomic<bool> hasData{false};

  void Fail(const CError& error) { SetError(error); }
  void DataArrived() { SignalEvent(kDataEventProperty); }
  void Check() { ThrowPendingError(); }
  void Restart() { ClearError(); }

  bool HasData() override { return hasData; }
  CStr& GetURL(CStr& url) override { return url = "http://media.example/live"; }
  DWORD GetCapabilities() override { return 0x401; }
  DWORD Read(void*, DWORD) override { return 0; }
  DWORD ReadSome(void*, DWORD) override { return 0; }
  DWORD Skip(DWORD) override { return 0; }
  DWORD SkipSome(DWORD) override { return 0; }
  void Write(const void*, DWORD) override {}
  void Flush() override {}
  LONGLONG Seek(LONGLONG, DWORD, HANDLE) override { return 0; }
  bool SeekWouldWait(LONGLONG, DWORD) override { return false; }
  LONGLONG GetPosition() override { return 0; }
  LONGLONG GetLength(bool, HANDLE) override { return -1; }
  DWORD GetTransferRate() override { return 0; }
  bool IsAtEnd() override { return false; }
  void Shutdown() override {}
  void Close() override {}
  void CloseNoThrow() override {}
};

class FlowingStreamTest : public testing::Test {
 protected:
  void SetUp() override {
    errorEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    dataEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  }
  void TearDown() override {
    CloseHandle(errorEvent);
    CloseHandle(dataEvent);
  }
  static bool IsSet(HANDLE event) { return WaitForSingleObject(event, 0) == WAIT_OBJECT_0; }

  WorkerStream stream;
  HANDLE errorEvent = nullptr;
  HANDLE dataEvent = nullptr;
};

TEST_F(FlowingStreamTest, EventsGivenLateAreSetAtOnce) {
  stream.SetProperty(CStream::kDataEventProperty, HandleToULong(dataEvent));
  stream.SetProperty(CStream::kErrorEventProperty, HandleToULong(errorEvent));
  EXPECT_FALSE(IsSet(dataEvent));
  EXPECT_FALSE(IsSet(errorEvent));
  EXPECT_EQ(HandleToULong(dataEvent), stream.GetProperty(CStream::kDataEventProperty));

  HANDLE lateData = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HANDLE lateError = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  stream.hasData = true;
  stream.SetProperty(CStream::kDataEventProperty, HandleToULong(lateData));
  EXPECT_TRUE(IsSet(lateData)) << "data can be read: set at once";
  stream.Fail(CStreamError(CStreamError::kDeadConnection, "http://media.example/live"));
  stream.SetProperty(CStream::kErrorEventProperty, HandleToULong(lateError));
  EXPECT_TRUE(IsSet(lateError)) << "an error is pending: set at once";
  stream.DataArrived();
  EXPECT_FALSE(IsSet(dataEvent)) << "only the event in the slot now";
  CloseHandle(lateData);
  CloseHandle(lateError);
}

TEST_F(FlowingStreamTest, PendingErrorIsCopiedNeverHandedOut) {
  stream.SetProperty(CStream::kErrorEventProperty, HandleToULong(errorEvent));
  EXPECT_EQ(nullptr, stream.GetPendingError());
  EXPECT_NO_THROW(stream.Check());
  stream.Fail(CStreamError(CStreamError::kConnectionLost, "http://media.example/live"));
  EXPECT_TRUE(IsSet(errorEvent));
  CStreamError* first = stream.GetPendingError();
  CStreamError* second = stream.GetPendingError();
  ASSERT_NE(nullptr, first);
  ASSERT_NE(nullptr, second);
  EXPECT_NE(first, second);
  EXPECT_EQ(15u, first->GetCode());
  EXPECT_STREQ(first->GetText().c_str(), second->GetText().c_str());
  DisposeError(first);
  DisposeError(second);
  try {
    stream.Check();
    ADD_FAILURE() << "no error thrown";
  } catch (CError* thrown) {
    ASSERT_TRUE(IsKindOf<CStreamError>(thrown));
    EXPECT_EQ(15u, static_cast<CStreamError*>(thrown)->GetCode());
    DisposeError(thrown);
  }
  CStreamError* still = stream.GetPendingError();
  ASSERT_NE(nullptr, still) << "the pending error stays";
  DisposeError(still);
  stream.Restart();
  EXPECT_EQ(nullptr, stream.GetPendingError());
}

TEST_F(FlowingStreamTest, AnyErrorBecomesAStreamErrorAndTheLastOneWins) {
  stream.Fail(CMemoryError());
  CStreamError* pending = stream.GetPendingError();
  ASSERT_NE(nullptr, pending);
  EXPECT_EQ(1u, pending->GetCode()) << "generic";
  EXPECT_STREQ("http://media.example/live", pending->GetPath().c_str());
  DisposeError(pending);

  stream.Fail(CStreamError(CStreamError::kDeadConnection, "http://media.example/live"));
  pending = stream.GetPendingError();
  EXPECT_EQ(16u, pending->GetCode()) << "the second error replaced the first";
  DisposeError(pending);
}

TEST_F(FlowingStreamTest, WorkerAndReaderMeetOnlyThroughTheLocks) {
  stream.SetProperty(CStream::kErrorEventProperty, HandleToULong(errorEvent));
  std::thread worker([this] {
    for (int i = 0; i < 200; ++i) {
      stream.hasData = (i % 2) == 0;
      stream.DataArrived();
      stream.Fail(CStreamError(CStreamError::kConnectionLost, "http://media.example/live"));
    }
  });
  for (int i = 0; i < 200; ++i) {
    stream.SetProperty(CStream::kDataEventProperty, HandleToULong(dataEvent));
    if (CStreamError* copy = stream.GetPendingError()) DisposeError(copy);
  }
  worker.join();
  EXPECT_TRUE(IsSet(errorEvent));
}

}  // namespace
