// Memory streams: capabilities, fixed and growing blocks, seek targets,
// the data event, shutdown.
#include "foundation/streams/MemoryStream.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "StreamTestHelpers.h"

using streamtest::CatchStreamError;
using streamtest::CodeThrown;

namespace {

constexpr DWORD kAll = kStreamRead | kStreamWrite | kStreamSeek;

// A stream over a fresh block holding "0123456789".
void OpenTenBytes(CMemoryStream& stream, DWORD flags = kAll, DWORD growStep = 0) {
  BYTE* block = new BYTE[10];
  std::memcpy(block, "0123456789", 10);
  stream.Open(block, 10, flags, growStep, false);
}

}  // namespace

TEST(MemoryStream, CapabilitiesAreEnforced) {
  CMemoryStream readOnly;
  OpenTenBytes(readOnly, kStreamRead | kStreamLengthKnown | kStreamFlowing);
  EXPECT_EQ(readOnly.GetCapabilities(), 0x101u);
  char buffer[4];
  EXPECT_EQ(readOnly.Read(buffer, 4), 4u);
  const auto refused = CatchStreamError([&] { readOnly.Write("x", 1); });
  EXPECT_EQ(refused.code, CStreamError::kNotPermitted);
  EXPECT_TRUE(refused.path.IsEmpty());
  EXPECT_EQ(CodeThrown([&] { readOnly.Seek(0, kSeekFromStart, nullptr); }), CStreamError::kNotPermitted);

  CMemoryStream writeOnly;
  OpenTenBytes(writeOnly, kStreamWrite);
  EXPECT_EQ(CodeThrown([&] { writeOnly.Read(buffer, 1); }), CStreamError::kNotPermitted);
  EXPECT_EQ(CodeThrown([&] { writeOnly.Skip(1); }), CStreamError::kNotPermitted);
}

TEST(MemoryStream, OpenCopyReadsItsOwnCopy) {
  char bytes[] = "abc";
  CMemoryStream stream;
  stream.OpenCopy(bytes, 3, kStreamRead | kStreamSeek);
  bytes[0] = 'x';
  char buffer[4] = {};
  EXPECT_EQ(stream.Read(buffer, 4), 3u);
  EXPECT_EQ(std::string(buffer, 3), "abc");
  EXPECT_EQ(CodeThrown([&] { stream.Write("y", 1); }), CStreamError::kNotPermitted);

  CMemoryStream empty;
  empty.OpenCopy(nullptr, 0, kStreamRead);
  EXPECT_EQ(empty.Read(buffer, 4), 0u);
  EXPECT_EQ(empty.GetLength(false, nullptr), 0);
}

TEST(MemoryStream, ReadAndSkipStopAtTheEnd) {
  CMemoryStream stream;
  OpenTenBytes(stream);
  char buffer[16] = {};
  EXPECT_EQ(stream.Read(buffer, 3), 3u);
  EXPECT_EQ(std::string(buffer, 3), "012");
  EXPECT_EQ(stream.Skip(4), 4u);
  EXPECT_EQ(stream.ReadSome(buffer, 16), 3u);
  EXPECT_EQ(std::string(buffer, 3), "789");
  EXPECT_TRUE(stream.IsAtEnd());
  EXPECT_EQ(stream.Read(buffer, 16), 0u);
  EXPECT_EQ(stream.SkipSome(5), 0u);
  EXPECT_EQ(stream.GetLength(false, nullptr), 10);
  EXPECT_EQ(stream.GetTransferRate(), 10000000u);
  EXPECT_FALSE(stream.SeekWouldWait(0, kSeekFromStart));
  CStr url;
  EXPECT_EQ(stream.GetURL(url), "memfile://");
}

// A fixed block of 10 at position 8 keeps 2 of 5 bytes and reports that it
// is full.
TEST(MemoryStream, FullFixedBlockKeepsWhatFitsAndThrows) {
  CMemoryStream stream;
  OpenTenBytes(stream);
  stream.Seek(8, kSeekFromStart, nullptr);
  const auto full = CatchStreamError([&] { stream.Write("abcde", 5); });
  EXPECT_EQ(full.code, CStreamError::kNotEnoughFreeSpace);
  EXPECT_TRUE(full.path.IsEmpty());
  EXPECT_EQ(stream.GetPosition(), 10);
  EXPECT_EQ(stream.GetLength(true, nullptr), 10);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(stream.GetBuffer()), 10), "01234567ab");
}

// Growing by at least the step: 3 bytes into an empty stream make room for
// 0x10000, which the next writes fill without moving the block.
TEST(MemoryStream, GrowingBlockGrowsByTheStep) {
  CMemoryStream stream;
  stream.Open(nullptr, 0, kAll, 0x10000, false);
  stream.Write("abc", 3);
  EXPECT_EQ(stream.GetLength(true, nullptr), 3);
  BYTE* block = stream.GetBuffer();
  const std::string filler(0x10000 - 3, 'f');
  stream.Write(filler.data(), static_cast<DWORD>(filler.size()));
  EXPECT_EQ(stream.GetBuffer(), block);
  stream.Write("g", 1);
  EXPECT_NE(stream.GetBuffer(), block);
  EXPECT_EQ(stream.GetLength(true, nullptr), 0x10001);

  // Overwriting in the middle keeps the length; the copy kept the data.
  stream.Seek(1, kSeekFromStart, nullptr);
  stream.Write("XY", 2);
  EXPECT_EQ(stream.GetLength(true, nullptr), 0x10001);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(stream.GetBuffer()), 4), "aXYf");

  // A write larger than the step grows by the write.
  CMemoryStream small;
  small.Open(nullptr, 0, kAll, 4, false);
  const std::string big(100, 'b');
  small.Write(big.data(), 100);
  EXPECT_EQ(small.GetLength(true, nullptr), 100);
}

TEST(MemoryStream, SeekTargetsAreCheckedInSixtyFourBits) {
  struct Row {
    LONGLONG offset;
    DWORD origin;
    LONGLONG expected;  // -1: refused with code 6
  };
  const Row rows[] = {
      {-1, kSeekFromEnd, 9},          {1, kSeekFromEnd, -1},
      {11, kSeekFromStart, -1},       {10, kSeekFromStart, 10},
      {-1, kSeekFromStart, -1},       {0, kSeekFromEnd, 10},
      {-11, kSeekFromEnd, -1},        {3, kSeekFromCurrent, 7},
      {-5, kSeekFromCurrent, -1},     {7, kSeekFromCurrent, -1},
      {0x100000005LL, kSeekFromStart, -1},  // would wrap to 5 in 32 bits
      {-0x100000000LL + 2, kSeekFromCurrent, -1},
      {2, 3, -1},
  };
  for (const Row& row : rows) {
    CMemoryStream stream;
    OpenTenBytes(stream);
    stream.Seek(4, kSeekFromStart, nullptr);
    if (row.expected >= 0) {
      EXPECT_EQ(stream.Seek(row.offset, row.origin, nullptr), row.expected) << row.offset << "/" << row.origin;
      EXPECT_EQ(stream.GetPosition(), row.expected);
      continue;
    }
    const auto refused = CatchStreamError([&] { stream.Seek(row.offset, row.origin, nullptr); });
    EXPECT_EQ(refused.code, CStreamError::kInvalidParam) << row.offset << "/" << row.origin;
    EXPECT_TRUE(refused.path.IsEmpty());
    EXPECT_EQ(stream.GetPosition(), 4) << row.offset << "/" << row.origin;
  }
}

// The data of a memory stream is always there: a data event is signalled
// as soon as it is set, unless nothing is left to read.
TEST(MemoryStream, DataEventIsSignalledWhenDataIsLeft) {
  struct Row {
    const char* what;
    DWORD flags;
    LONGLONG position;
    bool signalled;
  };
  const Row rows[] = {
      {"readable, data left", kAll, 0, true},
      {"at the end", kAll, 10, false},
      {"not readable", kStreamWrite | kStreamSeek, 0, false},
  };
  for (const Row& row : rows) {
    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    CMemoryStream stream;
    OpenTenBytes(stream, row.flags);
    stream.Seek(row.position, kSeekFromStart, nullptr);
    stream.SetProperty(CStream::kDataEventProperty, HandleToULong(event));
    EXPECT_EQ(stream.GetProperty(CStream::kDataEventProperty), HandleToULong(event));
    EXPECT_EQ(WaitForSingleObject(event, 0) == WAIT_OBJECT_0, row.signalled) << row.what;
    CloseHandle(event);
  }
  HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  CMemoryStream stream;
  OpenTenBytes(stream);
  stream.SetProperty(CStream::kErrorEventProperty, HandleToULong(event));
  EXPECT_EQ(WaitForSingleObject(event, 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "the error event is only stored";
  stream.Shutdown();
  stream.SetProperty(CStream::kDataEventProperty, HandleToULong(event));  // no throw after shutdown
  CloseHandle(event);
}

TEST(MemoryStream, ShutdownGuardsTheOperationsButNotClose) {
  CMemoryStream stream;
  OpenTenBytes(stream);
  stream.Shutdown();
  char buffer[2];
  const auto shutDown = CatchStreamError([&] { stream.GetPosition(); });
  EXPECT_EQ(shutDown.code, CStreamError::kShutdown);
  EXPECT_EQ(shutDown.text, "The stream has been shut down. (file path: 'memfile://')");
  EXPECT_EQ(CodeThrown([&] { stream.Read(buffer, 1); }), CStreamError::kShutdown);
  EXPECT_EQ(CodeThrown([&] { stream.Write("x", 1); }), CStreamError::kShutdown);
  EXPECT_EQ(CodeThrown([&] { stream.Flush(); }), CStreamError::kShutdown);
  EXPECT_EQ(CodeThrown([&] { stream.IsAtEnd(); }), CStreamError::kShutdown);
  EXPECT_EQ(CodeThrown([&] { stream.SeekWouldWait(0, 0); }), CStreamError::kShutdown);
  EXPECT_EQ(stream.GetCapabilities(), kAll | kStreamBuffered);
  EXPECT_EQ(stream.GetPendingError(), nullptr);
  stream.Close();
  // Opening again clears the shutdown.
  OpenTenBytes(stream);
  EXPECT_EQ(stream.GetPosition(), 0);
}

TEST(MemoryStream, ContentType) {
  CMemoryStream stream;
  stream.Open(nullptr, 0, kAll, 16, false);
  CStr type = "left alone";
  EXPECT_EQ(stream.GetContentType(type), 1u);
  EXPECT_EQ(type, "left alone");
  stream.Close();
  stream.Open(nullptr, 0, kAll, 16, false, "audio/x-test");
  EXPECT_EQ(stream.GetContentType(type), 0u);
  EXPECT_EQ(type, "audio/x-test");
}

// A lent block comes back unfreed; a stream opened delete-on-close ends
// itself (the sanitizer run shows neither a double free nor a leak).
TEST(MemoryStream, DetachAndDeleteOnClose) {
  BYTE lent[4] = {1, 2, 3, 4};
  {
    CMemoryStream stream;
    stream.Open(lent, 4, kStreamRead, 0, false);
    EXPECT_EQ(stream.GetBuffer(), lent);
    stream.DetachBuffer();
    EXPECT_EQ(stream.GetBuffer(), nullptr);
  }
  EXPECT_EQ(lent[3], 4);

  auto* owned = new CMemoryStream;
  OpenTenBytes(*owned);
  owned->Open(nullptr, 0, kAll, 8, true);  // reopening frees the first block
  owned->Write("x", 1);
  owned->CloseNoThrow();
}
