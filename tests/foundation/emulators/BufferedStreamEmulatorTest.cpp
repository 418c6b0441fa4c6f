// The buffered emulator: few large calls reach the wrapped stream, bytes
// keep their order in both directions, and closing never leaks.
#include "foundation/emulators/BufferedStreamEmulator.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "PipeStream.h"
#include "RecordingStream.h"
#include "StreamTestHelpers.h"

using streamtest::CatchStreamError;
using streamtest::CodeThrown;
using streamtest::CRecordingStream;
using streamtest::PatternBytes;

namespace {

using Calls = std::vector<std::string>;

// An emulator the test owns (not delete-on-close) around a stream the test
// owns (not closed with the emulator unless asked).
struct Buffered {
  CRecordingStream inner;
  CBufferedStreamEmulator emulator;

  Buffered(const std::string& bytes, DWORD bufferSize, bool writeMode = false) : inner(bytes) {
    emulator.Attach(&inner, writeMode, bufferSize, false, false);
  }
  std::string Read(DWORD size) {
    std::string bytes(size, '\0');
    bytes.resize(emulator.Read(bytes.data(), size));
    return bytes;
  }
};

}  // namespace

TEST(BufferedStreamEmulator, SmallReadsBecomeBufferSizedReadSomes) {
  const std::string source = PatternBytes(10000);
  Buffered buffered(source, 4096);
  std::string got;
  for (int i = 0; i < 500; ++i) got += buffered.Read(10);
  EXPECT_EQ(got, source.substr(0, 5000));
  EXPECT_EQ(buffered.inner.calls, (Calls{"ReadSome 4096", "ReadSome 4096"}));
  EXPECT_EQ(buffered.emulator.GetPosition(), 5000);
}

TEST(BufferedStreamEmulator, LargeReadsGoStraightThroughAndLeaveTheBufferEmpty) {
  const std::string source = PatternBytes(20000);
  Buffered buffered(source, 4096);
  EXPECT_EQ(buffered.Read(10), source.substr(0, 10));
  EXPECT_EQ(buffered.Read(4086 + 5000), source.substr(10, 9086));
  EXPECT_EQ(buffered.inner.calls, (Calls{"ReadSome 4096", "Read 5000"}));
  EXPECT_EQ(buffered.Read(1), source.substr(9096, 1));
  EXPECT_EQ(buffered.inner.calls.back(), "ReadSome 4096");
}

TEST(BufferedStreamEmulator, AShortReadSomeIsCompletedByABlockingRead) {
  const std::string source = PatternBytes(5000);
  Buffered buffered(source, 4096);
  buffered.inner.someLimit = 100;
  EXPECT_EQ(buffered.Read(1000), source.substr(0, 1000));
  EXPECT_EQ(buffered.inner.calls, (Calls{"ReadSome 4096", "Read 900"}));

  // ReadSome never waits for more than the wrapped stream gives.
  buffered.inner.ClearCalls();
  char some[1000];
  EXPECT_EQ(buffered.emulator.ReadSome(some, sizeof some), 100u);
  EXPECT_EQ(std::string(some, 100), source.substr(1000, 100));
  EXPECT_EQ(buffered.inner.calls, (Calls{"ReadSome 4096"}));
}

TEST(BufferedStreamEmulator, SkipsUseTheBufferFirstAndPassTheRestWhole) {
  const std::string source = PatternBytes(10000);
  Buffered buffered(source, 4096);
  buffered.Read(1);
  EXPECT_EQ(buffered.emulator.Skip(100), 100u);
  EXPECT_EQ(buffered.emulator.Skip(5000), 5000u);
  EXPECT_EQ(buffered.inner.calls, (Calls{"ReadSome 4096", "Skip 1005"}));
  EXPECT_EQ(buffered.emulator.GetPosition(), 5101);
  EXPECT_EQ(buffered.Read(3), source.substr(5101, 3));
}

TEST(BufferedStreamEmulator, SeekFromTheCurrentPositionIsMadeAbsolute) {
  const std::string source = PatternBytes(10000);
  Buffered buffered(source, 4096);
  buffered.Read(10);
  EXPECT_EQ(buffered.emulator.Seek(5, kSeekFromCurrent, nullptr), 15);
  EXPECT_EQ(buffered.inner.calls.back(), "Seek 15 0");
  EXPECT_EQ(buffered.Read(4), source.substr(15, 4));
  EXPECT_EQ(buffered.emulator.Seek(-4, kSeekFromEnd, nullptr), 9996);
  EXPECT_EQ(buffered.Read(10), source.substr(9996));
}

TEST(BufferedStreamEmulator, WritesAreCollectedAndFlushPassesThemOnOnly) {
  Buffered buffered("", 16, true);
  buffered.emulator.Write("0123456789", 10);
  EXPECT_TRUE(buffered.inner.calls.empty());
  // Does not fit: the buffer goes first, then the data whole.
  buffered.emulator.Write("abcdefghij", 10);
  EXPECT_EQ(buffered.inner.calls, (Calls{"Write 10", "Write 10"}));
  buffered.emulator.Write("xyz", 3);
  buffered.emulator.Flush();
  EXPECT_EQ(buffered.inner.calls, (Calls{"Write 10", "Write 10", "Write 3"}));
  EXPECT_EQ(buffered.inner.Bytes(), "0123456789abcdefghijxyz");
  EXPECT_EQ(buffered.emulator.GetPosition(), 23);
}

TEST(BufferedStreamEmulator, SwitchingDirectionKeepsTheBytesInPlace) {
  Buffered buffered("abcdefghijklmnopqrstuvwxyz", 16);
  EXPECT_EQ(buffered.Read(2), "ab");
  // The wrapped stream stands 16 bytes on: it goes back before writing.
  buffered.emulator.Write("XY", 2);
  EXPECT_EQ(buffered.inner.calls, (Calls{"ReadSome 16", "Seek 2 0"}));
  EXPECT_EQ(buffered.Read(3), "efg");
  EXPECT_EQ(buffered.inner.Bytes(), "abXYefghijklmnopqrstuvwxyz");
  EXPECT_EQ(buffered.emulator.GetPosition(), 7);
}

TEST(BufferedStreamEmulator, AtEndOnlyWhenNothingIsBuffered) {
  Buffered buffered("0123456789", 4096);
  EXPECT_EQ(buffered.Read(1), "0");
  EXPECT_TRUE(buffered.inner.IsAtEnd());
  EXPECT_FALSE(buffered.emulator.IsAtEnd());
  EXPECT_EQ(buffered.Read(9), "123456789");
  EXPECT_TRUE(buffered.emulator.IsAtEnd());
}

TEST(BufferedStreamEmulator, LengthCountsCollectedBytes) {
  Buffered buffered("", 4096, true);
  buffered.emulator.Write("12345", 5);
  EXPECT_EQ(buffered.emulator.GetLength(true, nullptr), 5);
  EXPECT_EQ(buffered.inner.Bytes(), "12345");
}

TEST(BufferedStreamEmulator, AFailedFlushKeepsTheBytes) {
  Buffered buffered("", 4096, true);
  buffered.emulator.Write("keep", 4);
  buffered.inner.failingWrites = 1;
  EXPECT_EQ(CodeThrown([&] { buffered.emulator.Flush(); }), CStreamError::kNotEnoughFreeSpace);
  buffered.emulator.Flush();
  EXPECT_EQ(buffered.inner.Bytes(), "keep");
}

TEST(BufferedStreamEmulator, AnUnseekableReaderAndWriterIsBufferedOneWay) {
  const DWORD both = kStreamRead | kStreamWrite;
  CRecordingStream inner("abc");
  inner.reportedCapabilities = both;
  CBufferedStreamEmulator emulator;
  emulator.Attach(&inner, false, 4096, false, false);
  EXPECT_EQ(emulator.GetCapabilities(), kStreamRead | kStreamBuffered);
  EXPECT_EQ(CodeThrown([&] { emulator.Write("x", 1); }), CStreamError::kNotPermitted);
  emulator.Attach(&inner, true, 4096, false, false);
  EXPECT_EQ(emulator.GetCapabilities(), kStreamWrite | kStreamBuffered);
  char byte;
  EXPECT_EQ(CodeThrown([&] { emulator.Read(&byte, 1); }), CStreamError::kNotPermitted);
}

TEST(BufferedStreamEmulator, PropertiesReachTheWrappedStream) {
  CRecordingStream inner("abc");
  CBufferedStreamEmulator emulator;
  emulator.SetProperty(CStream::kErrorEventProperty, 41);
  emulator.Attach(&inner, false, 4096, false, false);
  EXPECT_EQ(inner.GetProperty(CStream::kErrorEventProperty), 41u);
  emulator.SetProperty(CStream::kDataEventProperty, 0);
  EXPECT_EQ(inner.GetProperty(CStream::kDataEventProperty), 0u);
  EXPECT_EQ(emulator.GetProperty(CStream::kErrorEventProperty), 41u);
  CStr url;
  EXPECT_EQ(emulator.GetURL(url), "rec://stream");
}

// Closing after a shutdown: every guarded operation refuses, yet Close
// still closes the wrapped stream and frees the emulator (delete-on-close,
// so a leak would show), and only then reports the bytes it could not
// pass on.
TEST(BufferedStreamEmulator, CloseAfterShutdownClosesEverythingThenReports) {
  struct Case {
    const char* name;
    bool writeBytes;
    bool noThrow;
    long long expected;
  };
  const Case cases[] = {
      {"collected bytes, Close", true, false, CStreamError::kShutdown},
      {"collected bytes, CloseNoThrow", true, true, -1},
      {"nothing collected, Close", false, false, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CRecordingStream inner("");
    auto* emulator = new CBufferedStreamEmulator;
    emulator->Attach(&inner, true, 4096, true, true);
    if (c.writeBytes) emulator->Write("lost", 4);
    emulator->Shutdown();
    EXPECT_EQ(CodeThrown([&] { emulator->Flush(); }), CStreamError::kShutdown);
    EXPECT_EQ(CodeThrown([&] { emulator->GetPosition(); }), CStreamError::kShutdown);
    const auto caught = CatchStreamError([&] { c.noThrow ? emulator->CloseNoThrow() : emulator->Close(); });
    EXPECT_EQ(caught.code, c.expected);
    if (c.expected >= 0) {
      EXPECT_EQ(caught.path, "rec://stream");
    }
    EXPECT_TRUE(inner.closed);
    EXPECT_EQ(inner.calls.back(), c.noThrow ? "CloseNoThrow" : "Close");
  }
}

TEST(BufferedStreamEmulator, UnattachedOrClosedRefusesInsteadOfCrashing) {
  CBufferedStreamEmulator emulator;
  char byte;
  EXPECT_EQ(CodeThrown([&] { emulator.Read(&byte, 1); }), CStreamError::kNotPermitted);
  EXPECT_EQ(CodeThrown([&] { emulator.Seek(0, kSeekFromStart, nullptr); }), CStreamError::kNotPermitted);
  EXPECT_EQ(emulator.GetPendingError(), nullptr);
  emulator.Close();

  CRecordingStream inner("abc");
  inner.pendingError = true;
  emulator.Attach(&inner, false, 4096, false, false);
  CStreamError* pending = emulator.GetPendingError();
  ASSERT_NE(pending, nullptr);
  EXPECT_EQ(pending->GetCode(), CStreamError::kConnectionLost);
  DisposeError(pending);
  emulator.Close();
  EXPECT_FALSE(inner.closed);  // not owned
  EXPECT_EQ(CodeThrown([&] { emulator.Read(&byte, 1); }), CStreamError::kNotPermitted);
}
