// The length emulator: a scan when the length is asked for, and the same
// bytes in the same order afterwards, from the wrapped stream or the cache.
#include "foundation/emulators/GetLengthStreamEmulator.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <future>

#include "Bounded.h"
#include "PipeStream.h"
#include "RecordingStream.h"
#include "StreamTestHelpers.h"
#include "foundation/streams/DriveTransferRate.h"
#include "support/TestPaths.h"

using namespace streamtest;

namespace {

struct Piped {
  std::string source;
  CPipeStreamProvider provider;
  CGetLengthStreamEmulator* emulator = new CGetLengthStreamEmulator;

  explicit Piped(size_t size, PipeSettings settings = {}) : source(PatternBytes(size)), provider(settings) {
    const std::string path = twltest::MakeTempDir("pipe") + "/source.bin";
    twltest::WriteFile(path, source);
    emulator->Attach(provider.Open(("pipe://" + path).c_str(), kStreamRead), nullptr, true, true);
  }
  ~Piped() {
    if (emulator) emulator->CloseNoThrow();
  }
  std::string Read(DWORD size) {
    std::string bytes(size, '\0');
    bytes.resize(emulator->Read(bytes.data(), size));
    return bytes;
  }
  LONGLONG Served() const { return PipeBytesServed(*provider.State()); }
};

}  // namespace

TEST(GetLengthStreamEmulator, ScansOnlyWhenAskedToWait) {
  Piped piped(100000);
  EXPECT_EQ(piped.emulator->GetCapabilities(), kStreamRead | kStreamLengthKnown);
  EXPECT_EQ(piped.Read(100), piped.source.substr(0, 100));
  EXPECT_EQ(piped.emulator->GetLength(true, nullptr), -1);
  EXPECT_EQ(piped.Served(), 100);

  EXPECT_EQ(piped.emulator->GetLength(false, nullptr), 100000);
  EXPECT_EQ(piped.Served(), 100000);
  EXPECT_EQ(piped.emulator->GetPosition(), 100);
  EXPECT_EQ(piped.emulator->GetLength(false, nullptr), 100000);
  EXPECT_EQ(piped.Served(), 100000);  // known: not read again

  EXPECT_FALSE(piped.emulator->IsAtEnd());
  std::string rest = piped.Read(60000);
  rest += piped.Read(60000);
  EXPECT_EQ(rest, piped.source.substr(100));
  EXPECT_TRUE(piped.emulator->IsAtEnd());
  EXPECT_EQ(piped.emulator->GetTransferRate(), GetDriveTransferRate(std::getenv("TMPDIR")));  // the cache's
}

TEST(GetLengthStreamEmulator, SkipsAndPartialReadsFollowTheCache) {
  Piped piped(30000);
  ASSERT_EQ(piped.emulator->GetLength(false, nullptr), 30000);
  EXPECT_EQ(piped.emulator->Skip(1000), 1000u);
  char some[500];
  EXPECT_EQ(piped.emulator->ReadSome(some, sizeof some), 500u);
  EXPECT_EQ(std::string(some, 500), piped.source.substr(1000, 500));
  EXPECT_EQ(piped.emulator->SkipSome(100000), 28500u);
  EXPECT_TRUE(piped.emulator->IsAtEnd());
}

// A seekable wrapped stream of unknown length: below the cache start the
// bytes come from it, from there on from the cache, in one read.
TEST(GetLengthStreamEmulator, AReadAcrossTheCacheStartJoinsBothSources) {
  const std::string source = PatternBytes(5000);
  CRecordingStream inner(source, kStreamRead | kStreamSeek);
  inner.reportedCapabilities = kStreamRead | kStreamSeek;
  inner.lengthUnknown = true;
  CGetLengthStreamEmulator emulator;
  emulator.Attach(&inner, nullptr, false, false);
  std::string bytes(100, '\0');
  ASSERT_EQ(emulator.Read(bytes.data(), 100), 100u);
  ASSERT_EQ(emulator.GetLength(false, nullptr), 5000);
  EXPECT_EQ(emulator.Seek(50, kSeekFromStart, nullptr), 50);
  inner.ClearCalls();
  ASSERT_EQ(emulator.Read(bytes.data(), 100), 100u);
  EXPECT_EQ(bytes, source.substr(50, 100));
  EXPECT_EQ(inner.calls, (std::vector<std::string>{"Read 50"}));
  EXPECT_EQ(emulator.Seek(4000, kSeekFromStart, nullptr), 4000);  // inside the cache: the position only
  EXPECT_EQ(inner.calls.size(), 1u);
  ASSERT_EQ(emulator.Read(bytes.data(), 100), 100u);
  EXPECT_EQ(bytes, source.substr(4000, 100));
  EXPECT_EQ(streamtest::CodeThrown([&] { emulator.Seek(5001, kSeekFromStart, nullptr); }),
            CStreamError::kInvalidParam);
  EXPECT_EQ(streamtest::CodeThrown([&] { emulator.Seek(-1, kSeekFromStart, nullptr); }),
            CStreamError::kInvalidParam);
  emulator.Close();
}

TEST(GetLengthStreamEmulator, SeekFromTheEndScans) {
  const std::string source = PatternBytes(5000);
  CRecordingStream inner(source, kStreamRead | kStreamSeek);
  inner.reportedCapabilities = kStreamRead | kStreamSeek;
  inner.lengthUnknown = true;
  CGetLengthStreamEmulator emulator;
  emulator.Attach(&inner, nullptr, false, false);
  EXPECT_TRUE(emulator.SeekWouldWait(-10, kSeekFromEnd));
  EXPECT_EQ(emulator.Seek(-10, kSeekFromEnd, nullptr), 4990);
  std::string bytes(10, '\0');
  EXPECT_EQ(emulator.Read(bytes.data(), 10), 10u);
  EXPECT_EQ(bytes, source.substr(4990));
  EXPECT_TRUE(emulator.IsAtEnd());
}

// The emulator keeps no pending error of its own and does not pass the
// wrapped stream's on.
TEST(GetLengthStreamEmulator, NoPendingErrorAndAttachChecks) {
  CRecordingStream inner("abc");
  inner.pendingError = true;
  CGetLengthStreamEmulator emulator;
  emulator.Attach(&inner, nullptr, false, false);
  EXPECT_EQ(emulator.GetPendingError(), nullptr);
  emulator.Close();

  struct Row {
    DWORD capabilities;
    long long code;
  };
  const Row rows[] = {
      {kStreamWrite | kStreamSeek, CStreamError::kInvalidParam},
      {kStreamRead | kStreamWrite, CStreamError::kInvalidParam},
      {kStreamRead | kStreamWrite | kStreamSeek, -1},
      {kStreamRead | kStreamFlowing, -1},
  };
  for (const Row& row : rows) {
    inner.reportedCapabilities = row.capabilities;
    const auto caught = CatchStreamError([&] { emulator.Attach(&inner, nullptr, false, false); });
    EXPECT_EQ(caught.code, row.code) << row.capabilities;
    if (row.code >= 0) {
      EXPECT_EQ(caught.path, "rec://stream");
    } else {
      EXPECT_EQ(emulator.GetCapabilities(), (row.capabilities & ~kStreamFlowing) | kStreamLengthKnown);
    }
  }
}

TEST(GetLengthStreamEmulator, ShutdownStopsEveryGuardedOperation) {
  Piped piped(1000);
  piped.emulator->Shutdown();
  char byte;
  EXPECT_EQ(CodeThrown([&] { piped.emulator->Read(&byte, 1); }), CStreamError::kShutdown);
  EXPECT_EQ(CodeThrown([&] { piped.emulator->GetLength(false, nullptr); }), CStreamError::kShutdown);
  EXPECT_EQ(CodeThrown([&] { piped.emulator->IsAtEnd(); }), CStreamError::kShutdown);
  CStr url;
  EXPECT_EQ(std::string(piped.emulator->GetURL(url).c_str()).rfind("pipe://", 0), 0u);
  EXPECT_EQ(piped.emulator->GetCapabilities(), kStreamRead | kStreamLengthKnown);
}

// An aborted scan keeps the copied bytes; reads go on in order through the
// cache and then the wrapped stream, and a later scan counts everything.
TEST(GetLengthStreamEmulator, AnAbortedScanKeepsTheBytesInOrder) {
  for (const bool readPastTheCache : {false, true}) {
    SCOPED_TRACE(readPastTheCache ? "read past the partial cache" : "scan again");
    Piped piped(1000000);
    HoldPipeAt(*piped.provider.State(), 300000);
    EXPECT_EQ(piped.Read(1000), piped.source.substr(0, 1000));
    HANDLE abort = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    auto scanning = std::async(std::launch::async, [&] { return piped.emulator->GetLength(false, abort); });
    EXPECT_TRUE(WaitUntil([&] { return piped.Served() == 300000; }));
    SetEvent(abort);
    EXPECT_EQ(AwaitOrExit(scanning, "the aborted scan"), -1);
    EXPECT_EQ(piped.emulator->GetPosition(), 1000);
    EXPECT_FALSE(piped.emulator->IsAtEnd());
    HoldPipeAt(*piped.provider.State(), -1);
    if (readPastTheCache) {
      EXPECT_EQ(piped.Read(400000), piped.source.substr(1000, 400000));
      EXPECT_EQ(piped.emulator->GetLength(false, nullptr), 1000000);
    } else {
      EXPECT_EQ(piped.Read(100000), piped.source.substr(1000, 100000));
      EXPECT_EQ(piped.emulator->GetLength(false, nullptr), 1000000);
      EXPECT_EQ(piped.emulator->GetPosition(), 101000);
    }
    std::string rest;
    while (!piped.emulator->IsAtEnd()) rest += piped.Read(65521);
    EXPECT_EQ(rest, piped.source.substr(readPastTheCache ? 401000 : 101000));
    EXPECT_EQ(piped.Served(), 1000000);
    CloseHandle(abort);
  }
}

// The scan waits a little when the wrapped stream has nothing yet, rather
// than asking again at once: a quarter of a second of trickling costs a
// few dozen calls, not millions.
TEST(GetLengthStreamEmulator, TheScanPausesWhenNothingCame) {
  Piped piped(50000, {200000, -1});
  EXPECT_EQ(piped.emulator->GetLength(false, nullptr), 50000);
  EXPECT_LT(PipeReadSomeCalls(*piped.provider.State()), 5000);
  EXPECT_EQ(piped.Read(50000), piped.source);
}
