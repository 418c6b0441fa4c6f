// The archive's buffering, its ends of stream and its errors.
#include "foundation/storage/Storage.h"

#include <gtest/gtest.h>

#include <string>

#include "ArchiveHelpers.h"
#include "foundation/streams/StreamError.h"

using archivetest::CodeThrown;
using archivetest::Load;
using archivetest::Stored;
using archivetest::U16;
using archivetest::U32;

TEST(Storage, ValuesRoundTrip) {
  const std::string bytes = Stored([](CStorage& s) {
    s.WriteValue(BYTE{0xAB});
    s.WriteValue(SHORT{-300});
    s.WriteValue(WORD{0xFEDC});
    s.WriteValue(INT{-100000});
    s.WriteValue(DWORD{0x89ABCDEF});
    s.WriteString("hello");
  });
  Load(bytes, [](CStorage& s) {
    EXPECT_TRUE(s.IsLoading());
    BYTE b = 0;
    SHORT h = 0;
    WORD w = 0;
    INT i = 0;
    DWORD d = 0;
    CStr text;
    s.ReadValue(b);
    s.ReadValue(h);
    s.ReadValue(w);
    s.ReadValue(i);
    s.ReadValue(d);
    s.ReadString(text);
    EXPECT_EQ(b, 0xAB);
    EXPECT_EQ(h, -300);
    EXPECT_EQ(w, 0xFEDC);
    EXPECT_EQ(i, -100000);
    EXPECT_EQ(d, 0x89ABCDEFu);
    EXPECT_EQ(text, "hello");
  });
}

// With an 8-byte buffer, three 16-bit values leave two bytes of the next
// 32-bit value in the first load and two in the second.
TEST(Storage, ValueStraddlingTheBufferEdgeIsReadWhole) {
  const std::string bytes = U16(1) + U16(2) + U16(3) + U32(0xA1B2C3D4) + U16(5);
  Load(
      bytes,
      [](CStorage& s) {
        WORD w = 0;
        for (WORD expected : {1, 2, 3}) {
          s.ReadValue(w);
          EXPECT_EQ(w, expected);
        }
        DWORD d = 0;
        s.ReadValue(d);
        EXPECT_EQ(d, 0xA1B2C3D4u);
        s.ReadValue(w);
        EXPECT_EQ(w, 5);
      },
      8);
}

// After one 32-bit value the 8-byte buffer holds 4 more bytes; the rest of
// a Read comes from the stream, through a refill or straight into the
// caller's block when it is larger than the buffer.
TEST(Storage, ReadTakesTheBufferedBytesThenTheStream) {
  std::string bytes;
  for (int i = 0; i < 40; ++i) bytes += char('a' + i % 26);
  struct Row {
    DWORD size;
    DWORD expected;
  };
  for (const Row& row : {Row{10, 10}, Row{30, 30}, Row{36, 36}, Row{50, 36}}) {
    Load(
        bytes,
        [&](CStorage& s) {
          DWORD first = 0;
          s.ReadValue(first);
          std::string out(row.size, '\0');
          EXPECT_EQ(s.Read(out.data(), row.size), row.expected) << row.size;
          EXPECT_EQ(out.substr(0, row.expected), bytes.substr(4, row.expected)) << row.size;
          std::string rest(100, '\0');
          const DWORD left = 36 - row.expected;
          EXPECT_EQ(s.Read(rest.data(), 100), left) << row.size;
          EXPECT_EQ(rest.substr(0, left), bytes.substr(4 + row.expected)) << row.size;
        },
        8);
  }
}

TEST(Storage, TooFewBytesThrowEndOfStream) {
  struct Row {
    const char* what;
    std::string bytes;
    std::function<void(CStorage&)> load;
  };
  const Row rows[] = {
      {"u32 from 3 bytes", "abc", [](CStorage& s) { DWORD d; s.ReadValue(d); }},
      {"u16 from nothing", "", [](CStorage& s) { WORD w; s.ReadValue(w); }},
      {"text without a whole length", "\x05", [](CStorage& s) { CStr t; s.ReadString(t); }},
  };
  for (const Row& row : rows) {
    CStr text;
    EXPECT_EQ(CodeThrown<CStorageError>([&] { Load(row.bytes, row.load); }, &text), CStorageError::kEndOfStream)
        << row.what;
    EXPECT_EQ(text, "Unexpected end of stream.") << row.what;
  }
}

// A length field of 10 with only 4 bytes behind it: the text keeps what
// was there, and the load fails.
TEST(Storage, TruncatedTextKeepsWhatWasReadAndFails) {
  CStr text = "old";
  EXPECT_EQ(CodeThrown<CStorageError>([&] { Load(U16(10) + "abcd", [&](CStorage& s) { s.ReadString(text); }); }),
            CStorageError::kEndOfStream);
  EXPECT_EQ(text, "abcd");
}

TEST(Storage, LongestTextRoundTrips) {
  const std::string longest(CStorage::kMaxTextLength, 'x');
  const std::string bytes = Stored([&](CStorage& s) { s.WriteString(longest.c_str()); });
  EXPECT_EQ(bytes.size(), 2 + longest.size());
  Load(bytes, [&](CStorage& s) {
    CStr text;
    s.ReadString(text);
    EXPECT_EQ(std::string(text.c_str()), longest);
  });
}

// A length field cannot count more than 65535 bytes: a longer text is
// refused, and nothing of it reaches the stream.
TEST(Storage, TooLongTextIsRefusedAndWritesNothing) {
  const std::string tooLong(CStorage::kMaxTextLength + 1, 'y');
  const std::string bytes = Stored([&](CStorage& s) {
    s.WriteValue(BYTE{7});
    CStorageError* caught = nullptr;
    try {
      s.WriteString(tooLong.c_str());
    } catch (CStorageError* error) {
      caught = error;
    }
    ASSERT_NE(caught, nullptr);
    EXPECT_EQ(caught->GetCode(), CStorageError::kTextTooLong);
    EXPECT_EQ(caught->GetText(), "The text is too long to be stored.");
    DisposeError(caught);
    s.WriteValue(BYTE{8});
  });
  EXPECT_EQ(bytes, "\x07\x08");
}

// The buffer is never smaller than 8 bytes: eight single bytes stay in it,
// the ninth makes the archive hand them to the stream.
TEST(Storage, BufferSizeBelowEightIsTakenAsEight) {
  CMemoryStream stream;
  stream.Open(nullptr, 0, archivetest::kReadWriteSeek, 64, false);
  CStorage storage;
  storage.Open(&stream, CStorage::kStore, 1, 1);
  for (int i = 0; i < 8; ++i) storage.WriteValue(BYTE(i));
  EXPECT_EQ(stream.GetLength(true, nullptr), 0);
  storage.WriteValue(BYTE{8});
  EXPECT_EQ(stream.GetLength(true, nullptr), 8);
  storage.Close();
  EXPECT_EQ(stream.GetLength(true, nullptr), 9);
  EXPECT_FALSE(storage.IsBound());
}

TEST(Storage, OpenForLoadingFailsOnAnUnreadableStream) {
  CMemoryStream stream;
  stream.Open(nullptr, 0, kStreamWrite, 64, false);
  CStorage storage;
  EXPECT_EQ(CodeThrown<CStreamError>([&] { storage.Open(&stream, CStorage::kLoad, 1, 4096); }),
            CStreamError::kNotPermitted);
  EXPECT_FALSE(storage.IsBound());
  storage.Open(&stream, CStorage::kStore, 1, 4096);  // storing does not read
  EXPECT_TRUE(storage.IsBound());
}

// The last flush fails on a full fixed-size stream: Close reports it and
// unbinds; an archive that goes away without Close loses it quietly.
TEST(Storage, ErrorOfTheLastFlushReachesCloseButNotTheDestructor) {
  CMemoryStream stream;
  stream.Open(new BYTE[4], 4, kStreamWrite | kStreamSeek, 0, false);
  CStorage storage;
  storage.Open(&stream, CStorage::kStore, 1, 4096);
  storage.WriteValue(DWORD{1});
  storage.WriteValue(DWORD{2});
  EXPECT_EQ(CodeThrown<CStreamError>([&] { storage.Close(); }), CStreamError::kNotEnoughFreeSpace);
  EXPECT_FALSE(storage.IsBound());
  EXPECT_EQ(CodeThrown<CStreamError>([&] { storage.Close(); }), -1);

  stream.Seek(0, kSeekFromStart, nullptr);
  {
    CStorage quiet;
    quiet.Open(&stream, CStorage::kStore, 1, 4096);
    quiet.WriteValue(DWORD{1});
    quiet.WriteValue(DWORD{2});
  }
}

TEST(Storage, OpenAgainFlushesTheFirstBinding) {
  CMemoryStream first;
  first.Open(nullptr, 0, archivetest::kReadWriteSeek, 64, false);
  CMemoryStream second;
  archivetest::OpenReading(second, U32(42));
  CStorage storage;
  storage.Open(&first, CStorage::kStore, 1, 4096);
  storage.WriteValue(DWORD{7});
  storage.Open(&second, CStorage::kLoad, 1, 4096);
  EXPECT_EQ(first.GetLength(true, nullptr), 4);
  DWORD value = 0;
  storage.ReadValue(value);
  EXPECT_EQ(value, 42u);
}

TEST(StorageError, TextsAndPathSuffix) {
  struct Row {
    DWORD code;
    const char* path;
    const char* text;
  };
  const Row rows[] = {
      {0, nullptr, "No error occurred."},
      {1, nullptr, "Unknown class."},
      {2, "a/b.img", "Unexpected end of stream. (Path: 'a/b.img')"},
      {99, "", "Unknown error"},
  };
  for (const Row& row : rows) {
    CStorageError error(row.code, row.path);
    EXPECT_EQ(error.GetText(), row.text) << row.code;
    EXPECT_EQ(error.GetCaption(), "Storage error");
  }
  CStorageError error;
  EXPECT_EQ(error.GetCode(), 0u);
  error.SetCode(2);
  error.SetPath("x");
  EXPECT_EQ(error.GetText(), "Unexpected end of stream. (Path: 'x')");
  CError* copy = error.Clone();
  ASSERT_TRUE(IsKindOf<CStorageError>(copy));
  EXPECT_EQ(static_cast<CStorageError*>(copy)->GetCode(), 2u);
  EXPECT_EQ(static_cast<CStorageError*>(copy)->GetPath(), "x");
  EXPECT_EQ(copy->GetText(), error.GetText());
  EXPECT_TRUE(copy->IsHeapObject());
  DisposeError(copy);
}
