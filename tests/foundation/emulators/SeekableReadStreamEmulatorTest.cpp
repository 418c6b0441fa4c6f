// The seekable read emulator over the test's non-seekable pipe: the copy,
// its limit, waiting and aborted seeks, the switch to pass-through, errors
// of the wrapped stream and shutdown from another thread.
#include "foundation/emulators/SeekableReadStreamEmulator.h"

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

constexpr LONGLONG kMiB = 1024 * 1024;

// A pipe opened through the file system with seeking wanted: the seekable
// emulator around the pipe stream.
struct Seekable {
  std::string source;
  ScopedPipeProvider provider;
  PipeState& pipe;
  CStream* stream = nullptr;

  explicit Seekable(size_t size, PipeSettings settings = {}, LONGLONG holdAt = -1)
      : source(PatternBytes(size)), provider(settings), pipe(provider.State()) {
    HoldPipeAt(pipe, holdAt);
    const std::string path = twltest::MakeTempDir("pipe") + "/source.bin";
    twltest::WriteFile(path, source);
    stream = GetFileSystem().Open(("pipe://" + path).c_str(), 0x100005, 0);
  }
  ~Seekable() {
    if (stream) stream->CloseNoThrow();
  }
  CSeekableReadStreamEmulator& Emulator() { return *static_cast<CSeekableReadStreamEmulator*>(stream); }
  std::string Read(DWORD size) {
    std::string bytes(size, '\0');
    bytes.resize(stream->Read(bytes.data(), size));
    return bytes;
  }
  // Reads to the end in pieces of uneven sizes.
  std::string ReadToEnd() {
    std::string bytes;
    for (DWORD piece = 1;; piece = piece * 7 % 65537 + 1000) {
      const std::string got = Read(piece);
      bytes += got;
      if (got.size() < piece) return bytes;
    }
  }
  LONGLONG Served() const { return PipeBytesServed(pipe); }
  // The copy has reached `count` bytes (a seek there would not wait).
  bool Cached(LONGLONG count) { return !stream->SeekWouldWait(count - 1, kSeekFromStart); }
};

}  // namespace

// A trickling source is read once: the second pass comes from the cache.
TEST(SeekableReadStreamEmulator, ReadAgainFromTheCacheWithoutTheSource) {
  Seekable seekable(1000000, {4000000, -1});
  EXPECT_EQ(ChainOf(seekable.stream), (std::vector<std::string>{"CSeekableReadStreamEmulator", "CStream"}));
  EXPECT_EQ(seekable.stream->GetCapabilities() & ~kStreamBuffered, kStreamRead | kStreamSeek | kStreamFlowing);
  EXPECT_EQ(seekable.ReadToEnd(), seekable.source);
  EXPECT_TRUE(seekable.stream->IsAtEnd());
  EXPECT_EQ(seekable.stream->GetLength(true, nullptr), 1000000);
  EXPECT_EQ(seekable.stream->Seek(0, kSeekFromStart, nullptr), 0);
  EXPECT_EQ(seekable.ReadToEnd(), seekable.source);
  EXPECT_EQ(seekable.stream->Seek(-10, kSeekFromEnd, nullptr), 999990);
  EXPECT_EQ(seekable.Read(100), seekable.source.substr(999990));
  EXPECT_EQ(PipeOpens(seekable.pipe), 1);
  EXPECT_EQ(seekable.Served(), 1000000);
  seekable.stream->Close();
  seekable.stream = nullptr;
  EXPECT_TRUE(TempFilesLeft().empty());
  EXPECT_EQ(PipeStreamsOpen(seekable.pipe), 0);
}

// A seek beyond the copy waits for it; an abort event ends the wait and the
// position stays where it was.
TEST(SeekableReadStreamEmulator, AnAbortedForwardSeekKeepsThePosition) {
  Seekable seekable(1000000, {}, 100000);
  EXPECT_EQ(seekable.Read(10000), seekable.source.substr(0, 10000));
  ASSERT_TRUE(WaitUntil([&] { return seekable.Cached(100000); }));
  EXPECT_TRUE(seekable.stream->SeekWouldWait(100000, kSeekFromStart));  // exactly the copied count
  EXPECT_TRUE(seekable.stream->SeekWouldWait(0, kSeekFromEnd));         // length unknown

  HANDLE abort = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  auto seeking = std::async(std::launch::async, [&] { return seekable.stream->Seek(900000, kSeekFromStart, abort); });
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  SetEvent(abort);
  EXPECT_EQ(AwaitOrExit(seeking, "the aborted Seek"), 10000);
  EXPECT_EQ(seekable.stream->GetPosition(), 10000);
  EXPECT_EQ(seekable.stream->Seek(-10, kSeekFromEnd, abort), 10000);  // the length never came
  EXPECT_EQ(seekable.Read(10), seekable.source.substr(10000, 10));
  CloseHandle(abort);

  // Released, the same seek arrives.
  HoldPipeAt(seekable.pipe, -1);
  EXPECT_EQ(seekable.stream->Seek(900000, kSeekFromStart, nullptr), 900000);
  EXPECT_EQ(seekable.Read(10), seekable.source.substr(900000, 10));
}

// With nobody reading, the copy stops exactly 2 MiB beyond the furthest
// position read, and goes on as the reader does.
TEST(SeekableReadStreamEmulator, TheCopyStopsTwoMiBAheadOfTheReader) {
  Seekable seekable(static_cast<size_t>(6 * kMiB));
  ASSERT_TRUE(WaitUntil([&] { return seekable.Served() >= 2 * kMiB; }));
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  EXPECT_EQ(seekable.Served(), 2 * kMiB);

  EXPECT_EQ(seekable.Read(100000), seekable.source.substr(0, 100000));
  EXPECT_TRUE(WaitUntil([&] { return seekable.Served() >= 2 * kMiB + 100000; }));
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  EXPECT_EQ(seekable.Served(), 2 * kMiB + 100000);

  // A seek within the copy counts as reading there.
  EXPECT_EQ(seekable.stream->Seek(kMiB, kSeekFromStart, nullptr), kMiB);
  EXPECT_TRUE(WaitUntil([&] { return seekable.Served() >= 3 * kMiB; }));
  // A seek beyond the limit arrives too: the copy runs on to reach it.
  EXPECT_EQ(seekable.stream->Seek(5 * kMiB, kSeekFromStart, nullptr), 5 * kMiB);
  EXPECT_EQ(seekable.Read(1000), seekable.source.substr(static_cast<size_t>(5 * kMiB), 1000));
  EXPECT_EQ(seekable.stream->Seek(0, kSeekFromStart, nullptr), 0);
  EXPECT_EQ(seekable.ReadToEnd(), seekable.source);
}

// After DisableSeeking the cache is read to its end, then dropped (with its
// file), and reading goes on from the source without a gap.
TEST(SeekableReadStreamEmulator, DisableSeekingDrainsThenReadsOn) {
  Seekable seekable(1000000, {}, 300000);
  EXPECT_EQ(seekable.Read(100000), seekable.source.substr(0, 100000));
  ASSERT_TRUE(WaitUntil([&] { return seekable.Cached(300000); }));
  seekable.Emulator().DisableSeeking();
  EXPECT_EQ(seekable.stream->GetCapabilities(), kStreamRead);
  EXPECT_EQ(CodeThrown([&] { seekable.stream->Seek(0, kSeekFromStart, nullptr); }), CStreamError::kNotPermitted);
  EXPECT_EQ(CodeThrown([&] { seekable.stream->SeekWouldWait(0, kSeekFromStart); }), CStreamError::kNotPermitted);
  EXPECT_EQ(TempFilesLeft().size(), 1u);

  EXPECT_EQ(seekable.Read(150000), seekable.source.substr(100000, 150000));
  EXPECT_EQ(TempFilesLeft().size(), 1u);
  EXPECT_EQ(seekable.Read(50000), seekable.source.substr(250000, 50000));
  EXPECT_TRUE(TempFilesLeft().empty());
  EXPECT_EQ(seekable.Served(), 300000);

  HoldPipeAt(seekable.pipe, -1);
  EXPECT_EQ(seekable.ReadToEnd(), seekable.source.substr(300000));
  EXPECT_TRUE(seekable.stream->IsAtEnd());
  EXPECT_EQ(seekable.stream->GetPosition(), 1000000);
  EXPECT_EQ(seekable.Served(), 1000000);
  EXPECT_EQ(PipeOpens(seekable.pipe), 1);
}

// A source that fails at a byte: the error is pending, the error event is
// set, and every read fails with it, also for bytes already copied.
TEST(SeekableReadStreamEmulator, AFailedSourceFailsEveryRead) {
  Seekable seekable(500000, {0, 200000});
  HANDLE errorEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  seekable.stream->SetProperty(CStream::kErrorEventProperty, HandleToULong(errorEvent));
  ASSERT_EQ(WaitForSingleObject(errorEvent, 30000), WAIT_OBJECT_0);
  CStreamError* pending = seekable.stream->GetPendingError();
  ASSERT_NE(pending, nullptr);
  EXPECT_EQ(pending->GetCode(), CStreamError::kConnectionLost);
  EXPECT_EQ(std::string(pending->GetPath().c_str()).rfind("pipe://", 0), 0u);
  DisposeError(pending);

  EXPECT_EQ(seekable.Served(), 200000);  // the bytes before the failure were copied
  char byte;
  EXPECT_EQ(CodeThrown([&] { seekable.stream->Read(&byte, 1); }), CStreamError::kConnectionLost);
  EXPECT_EQ(CodeThrown([&] { seekable.stream->ReadSome(&byte, 1); }), CStreamError::kConnectionLost);
  EXPECT_EQ(CodeThrown([&] { seekable.stream->GetPosition(); }), CStreamError::kConnectionLost);
  // Set later, the error event is signalled at once.
  HANDLE lateEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  seekable.stream->SetProperty(CStream::kErrorEventProperty, HandleToULong(lateEvent));
  EXPECT_EQ(WaitForSingleObject(lateEvent, 0), WAIT_OBJECT_0);
  seekable.stream->Close();
  seekable.stream = nullptr;
  EXPECT_TRUE(TempFilesLeft().empty());
  CloseHandle(errorEvent);
  CloseHandle(lateEvent);
}

TEST(SeekableReadStreamEmulator, TheDataEventTellsOfCopiedBytes) {
  Seekable seekable(100000, {}, 0);
  HANDLE dataEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  seekable.stream->SetProperty(CStream::kDataEventProperty, HandleToULong(dataEvent));
  char some[10];
  EXPECT_EQ(seekable.stream->ReadSome(some, sizeof some), 0u);  // nothing yet, and no wait
  HoldPipeAt(seekable.pipe, -1);
  EXPECT_EQ(WaitForSingleObject(dataEvent, 30000), WAIT_OBJECT_0);
  EXPECT_EQ(seekable.stream->GetProperty(CStream::kDataEventProperty), HandleToULong(dataEvent));
  CloseHandle(dataEvent);
}

// Shutdown from another thread ends a read waiting for the copy, and one
// waiting inside the source after the switch to pass-through.
TEST(SeekableReadStreamEmulator, ShutdownEndsAWaitingRead) {
  for (const bool passThrough : {false, true}) {
    SCOPED_TRACE(passThrough ? "pass-through" : "caching");
    Seekable seekable(100000, {}, 1000);
    if (passThrough) seekable.Emulator().DisableSeeking();
    auto reading = std::async(std::launch::async, [&] {
      return CodeThrown([&] { seekable.Read(50000); });
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    seekable.stream->Shutdown();
    EXPECT_EQ(AwaitOrExit(reading, "the shut down Read"), CStreamError::kShutdown);
    EXPECT_EQ(CodeThrown([&] { seekable.stream->GetLength(true, nullptr); }), CStreamError::kShutdown);
  }
}

TEST(SeekableReadStreamEmulator, BadSeeksAndWritesAreRefused) {
  Seekable seekable(10000);
  ASSERT_TRUE(WaitUntil([&] { return seekable.stream->GetLength(true, nullptr) == 10000; }));
  struct Row {
    LONGLONG offset;
    DWORD origin;
  };
  const Row rows[] = {{1, kSeekFromEnd}, {-10001, kSeekFromEnd}, {-1, kSeekFromStart},
                      {10001, kSeekFromStart}, {-1, kSeekFromCurrent}};
  for (const Row& row : rows) {
    EXPECT_EQ(CodeThrown([&] { seekable.stream->Seek(row.offset, row.origin, nullptr); }),
              CStreamError::kInvalidParam)
        << row.offset << " from " << row.origin;
  }
  EXPECT_EQ(seekable.stream->GetPosition(), 0);
  EXPECT_EQ(seekable.stream->Seek(10000, kSeekFromStart, nullptr), 10000);
  EXPECT_TRUE(seekable.stream->IsAtEnd());
  EXPECT_EQ(CodeThrown([&] { seekable.stream->Write("x", 1); }), CStreamError::kNotPermitted);
}

// Once everything is copied, a target beyond the end of a stream whose
// length was never told fails instead of waiting.
TEST(SeekableReadStreamEmulator, BeyondTheEndFailsOnceAllIsCopied) {
  const std::string source = PatternBytes(5000);
  CRecordingStream inner(source, kStreamRead);
  inner.reportedCapabilities = kStreamRead;
  inner.lengthUnknown = true;
  CSeekableReadStreamEmulator emulator;
  emulator.Attach(&inner, nullptr, 4096, false, false, 0x200000);
  EXPECT_EQ(CodeThrown([&] { emulator.Seek(6000, kSeekFromStart, nullptr); }), CStreamError::kInvalidParam);
  EXPECT_EQ(emulator.GetLength(false, nullptr), 5000);
  EXPECT_EQ(emulator.Seek(4000, kSeekFromStart, nullptr), 4000);
  std::string bytes(2000, '\0');
  EXPECT_EQ(emulator.Read(bytes.data(), 2000), 1000u);
  EXPECT_EQ(bytes.substr(0, 1000), source.substr(4000));
  emulator.Close();
  EXPECT_FALSE(inner.closed);  // not owned
}

TEST(SeekableReadStreamEmulator, AttachFailuresUndoEverything) {
  CRecordingStream moved("abcdef", kStreamRead);
  char byte;
  moved.Read(&byte, 1);
  CSeekableReadStreamEmulator emulator;
  const auto notAtStart = CatchStreamError([&] { emulator.Attach(&moved, nullptr, 4096, false, true, 0); });
  EXPECT_EQ(notAtStart.code, CStreamError::kInvalidParam);
  EXPECT_EQ(notAtStart.path, "");

  CRecordingStream fresh("abcdef", kStreamRead);
  TwlTestFailThreadStarts(1);
  const auto noThread = CatchStreamError([&] { emulator.Attach(&fresh, nullptr, 4096, false, true, 0); });
  EXPECT_EQ(noThread.code, CStreamError::kGeneric);
  EXPECT_EQ(noThread.path, "rec://stream");
  EXPECT_TRUE(TempFilesLeft().empty());
  EXPECT_EQ(emulator.GetCapabilities(), 0u);
  EXPECT_EQ(CodeThrown([&] { emulator.Read(&byte, 1); }), CStreamError::kNotPermitted);
  emulator.Close();
  EXPECT_FALSE(fresh.closed);
}

// A seek from the end waits for the length; a source that fails first
// ends that wait with its error instead of leaving it waiting forever.
TEST(SeekableReadStreamEmulator, ASeekFromTheEndEndsWhenTheSourceFails) {
  Seekable seekable(100000, {0, 50000}, 0);
  auto seeking = std::async(std::launch::async, [&] {
    return CodeThrown([&] { seekable.stream->Seek(-10, kSeekFromEnd, nullptr); });
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  HoldPipeAt(seekable.pipe, -1);
  EXPECT_EQ(AwaitOrExit(seeking, "the Seek from the end"), CStreamError::kConnectionLost);
}
