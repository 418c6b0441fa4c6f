// The flowing emulator: a slow source read ahead into memory, in order,
// with a bounded read-ahead and a reader thread that every close reaches.
#include "foundation/emulators/FlowingStreamEmulator.h"

#include <gtest/gtest.h>
#include <twlwin/testing.h>

#include <chrono>
#include <future>
#include <string>
#include <thread>

#include "Bounded.h"
#include "PipeStream.h"
#include "RecordingStream.h"
#include "StreamChain.h"
#include "StreamTestHelpers.h"
#include "foundation/filesystem/FileSystem.h"
#include "support/TestPaths.h"

using namespace streamtest;

namespace {

// A pipe opened through the file system with flowing wanted.
struct Flowing {
  std::string source;
  ScopedPipeProvider provider;
  PipeState& pipe;
  CStream* stream = nullptr;

  explicit Flowing(size_t size, PipeSettings settings = {}, LONGLONG holdAt = -1)
      : source(PatternBytes(size)), provider(settings), pipe(provider.State()) {
    HoldPipeAt(pipe, holdAt);
    const std::string path = twltest::MakeTempDir("pipe") + "/source.bin";
    twltest::WriteFile(path, source);
    stream = GetFileSystem().Open(("pipe://" + path).c_str(), kStreamRead | kStreamFlowing, 0);
  }
  ~Flowing() {
    if (stream) stream->CloseNoThrow();
  }
  std::string Read(DWORD size) {
    std::string bytes(size, '\0');
    bytes.resize(stream->Read(bytes.data(), size));
    return bytes;
  }
  LONGLONG Served() const { return PipeBytesServed(pipe); }
  // Closes on another thread, within the test's bound.
  void CloseInTime() {
    auto closing = std::async(std::launch::async, [this] { stream->Close(); });
    AwaitOrExit(closing, "Close");
    stream = nullptr;
  }
};

}  // namespace

// The caller reads in pieces of every size, faster and slower than the
// source gives: the bytes come out whole and in order, across blocks.
TEST(FlowingStreamEmulator, ServesASlowSourceFromMemoryInOrder) {
  Flowing flowing(1000000, {2000000, -1});
  EXPECT_EQ(ChainOf(flowing.stream), (std::vector<std::string>{"CFlowingStreamEmulator", "CStream"}));
  EXPECT_EQ(flowing.stream->GetCapabilities(), kStreamRead | kStreamFlowing | kStreamBuffered);
  std::string copy;
  DWORD piece = 1;
  for (int round = 0; !flowing.stream->IsAtEnd(); ++round) {
    copy += flowing.Read(piece);
    piece = piece * 5 % 40009 + 1;
    if (round == 20) std::this_thread::sleep_for(std::chrono::milliseconds(200));  // let blocks pile up
  }
  EXPECT_EQ(copy, flowing.source);
  EXPECT_EQ(flowing.stream->GetPosition(), 1000000);
  EXPECT_EQ(flowing.Served(), 1000000);
  char byte;
  EXPECT_EQ(flowing.stream->Read(&byte, 1), 0u);  // at the end: no wait
}

TEST(FlowingStreamEmulator, ReadSomeTakesOnlyWhatIsThere) {
  Flowing flowing(100000, {}, 0);
  HANDLE dataEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  flowing.stream->SetProperty(CStream::kDataEventProperty, HandleToULong(dataEvent));
  char some[1000];
  EXPECT_EQ(flowing.stream->ReadSome(some, sizeof some), 0u);
  EXPECT_EQ(flowing.stream->SkipSome(1000), 0u);
  HoldPipeAt(flowing.pipe, 700);
  ASSERT_EQ(WaitForSingleObject(dataEvent, 30000), WAIT_OBJECT_0);
  ASSERT_TRUE(WaitUntil([&] { return flowing.Served() == 700; }));
  // A block still being filled gives what it has; the rest follows later.
  EXPECT_EQ(flowing.stream->ReadSome(some, sizeof some), 700u);
  EXPECT_EQ(std::string(some, 700), flowing.source.substr(0, 700));
  HoldPipeAt(flowing.pipe, -1);
  EXPECT_EQ(flowing.stream->Skip(50000), 50000u);
  EXPECT_EQ(flowing.Read(10), flowing.source.substr(50700, 10));
  CloseHandle(dataEvent);
}

// A caller that stops reading: the thread holds at most 16 MiB ahead and
// waits; reading on lets it go on; a close reaches the waiting thread.
TEST(FlowingStreamEmulator, ReadAheadIsCappedAndCloseReachesTheWaitingThread) {
  const LONGLONG cap = CFlowingStreamEmulator::kMaxBytesAhead;
  Flowing flowing(static_cast<size_t>(cap + 4 * 1024 * 1024));
  ASSERT_TRUE(WaitUntil([&] { return flowing.Served() >= cap; }));
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_EQ(flowing.Served(), cap);

  EXPECT_EQ(flowing.Read(1000000), flowing.source.substr(0, 1000000));
  EXPECT_TRUE(WaitUntil([&] { return flowing.Served() == cap + 1000000; }));
  flowing.CloseInTime();
  EXPECT_EQ(PipeStreamsOpen(flowing.pipe), 0);
}

TEST(FlowingStreamEmulator, CloseReachesTheThreadWhateverItWaitsFor) {
  struct Case {
    const char* name;
    PipeSettings settings;
    LONGLONG holdAt;
  };
  const Case cases[] = {
      {"a source that gives nothing", {}, 0},
      {"a trickling source", {1000, -1}, -1},
      {"a source at its end", {}, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Flowing flowing(10000, c.settings, c.holdAt);
    if (c.holdAt < 0 && c.settings.bytesPerSecond == 0) {
      ASSERT_TRUE(WaitUntil([&] { return flowing.Served() == 10000; }));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    flowing.CloseInTime();
    EXPECT_EQ(PipeStreamsOpen(flowing.pipe), 0);
  }
}

// A failing source: the error is pending and the error event set; reads
// fail with it even while read-ahead bytes are still buffered.
TEST(FlowingStreamEmulator, AFailedSourceFailsEveryRead) {
  Flowing flowing(100000, {0, 50000});
  HANDLE errorEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  flowing.stream->SetProperty(CStream::kErrorEventProperty, HandleToULong(errorEvent));
  ASSERT_EQ(WaitForSingleObject(errorEvent, 30000), WAIT_OBJECT_0);
  EXPECT_EQ(flowing.Served(), 50000);
  char byte;
  EXPECT_EQ(CodeThrown([&] { flowing.stream->Read(&byte, 1); }), CStreamError::kConnectionLost);
  EXPECT_EQ(CodeThrown([&] { flowing.stream->IsAtEnd(); }), CStreamError::kConnectionLost);
  CStreamError* pending = flowing.stream->GetPendingError();
  ASSERT_NE(pending, nullptr);
  EXPECT_EQ(pending->GetCode(), CStreamError::kConnectionLost);
  DisposeError(pending);
  flowing.CloseInTime();
  CloseHandle(errorEvent);
}

TEST(FlowingStreamEmulator, ShutdownEndsAWaitingRead) {
  Flowing flowing(100000, {}, 1000);
  auto reading = std::async(std::launch::async, [&] { return CodeThrown([&] { flowing.Read(50000); }); });
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  flowing.stream->Shutdown();
  EXPECT_EQ(AwaitOrExit(reading, "the shut down Read"), CStreamError::kShutdown);
  flowing.CloseInTime();
}

// Over a seekable stream: a seek, a write or a flush drops the read-ahead
// and the next read goes on exactly at the caller's position.
TEST(FlowingStreamEmulator, SeekWriteAndFlushContinueAtThePosition) {
  const std::string source = PatternBytes(100000);
  CRecordingStream inner(source);
  CFlowingStreamEmulator emulator;
  emulator.Attach(&inner, 16384, false, true);
  EXPECT_EQ(emulator.GetCapabilities(), kStreamRead | kStreamWrite | kStreamSeek | kStreamFlowing | kStreamBuffered);
  auto read = [&](DWORD size) {
    std::string bytes(size, '\0');
    bytes.resize(emulator.Read(bytes.data(), size));
    return bytes;
  };
  EXPECT_EQ(read(10), source.substr(0, 10));
  EXPECT_EQ(emulator.Seek(5000, kSeekFromCurrent, nullptr), 5010);
  EXPECT_EQ(read(10), source.substr(5010, 10));
  emulator.Write("XY", 2);
  EXPECT_EQ(emulator.GetPosition(), 5022);
  EXPECT_EQ(read(10), source.substr(5022, 10));
  emulator.Flush();
  EXPECT_EQ(read(10), source.substr(5032, 10));
  EXPECT_EQ(emulator.Seek(5018, kSeekFromStart, nullptr), 5018);
  EXPECT_EQ(read(6), source.substr(5018, 2) + "XY" + source.substr(5022, 2));
  EXPECT_EQ(emulator.Seek(-5, kSeekFromEnd, nullptr), 99995);
  EXPECT_EQ(read(10), source.substr(99995));
  EXPECT_TRUE(emulator.IsAtEnd());
  emulator.Close();
  EXPECT_TRUE(inner.closed);
}

TEST(FlowingStreamEmulator, NoReaderThreadNoAttachment) {
  CRecordingStream inner("abc");
  CFlowingStreamEmulator emulator;
  TwlTestFailThreadStarts(1);
  const auto caught = CatchStreamError([&] { emulator.Attach(&inner, 16384, false, true); });
  EXPECT_EQ(caught.code, -2);
  EXPECT_EQ(caught.text, "Unable to create new thread.");
  EXPECT_EQ(emulator.GetCapabilities(), 0u);
  emulator.Close();
  EXPECT_FALSE(inner.closed);
}
