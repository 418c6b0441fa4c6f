// Creation modes, reading, writing, the file pointer and the file size.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>

#include "FileTestHelpers.h"
#include "support/TestPaths.h"

using filetest::Open;

TEST(CreateFile, CreationModesAndTheirLastError) {
  const std::string dir = twltest::MakeTempDir("create");
  struct Row {
    const char* what;
    DWORD creation;
    bool exists;       // the file exists beforehand, holding "old"
    DWORD error;       // 0: the call succeeds
    DWORD lastError;   // on success
    const char* after; // content afterwards; nullptr: no file
  };
  const Row rows[] = {
      {"CREATE_NEW, new", CREATE_NEW, false, 0, 0, ""},
      {"CREATE_NEW, existing", CREATE_NEW, true, ERROR_FILE_EXISTS, 0, "old"},
      {"CREATE_ALWAYS, new", CREATE_ALWAYS, false, 0, 0, ""},
      {"CREATE_ALWAYS, existing", CREATE_ALWAYS, true, 0, ERROR_ALREADY_EXISTS, ""},
      {"OPEN_EXISTING, new", OPEN_EXISTING, false, ERROR_FILE_NOT_FOUND, 0, nullptr},
      {"OPEN_EXISTING, existing", OPEN_EXISTING, true, 0, 0, "old"},
      {"OPEN_ALWAYS, new", OPEN_ALWAYS, false, 0, 0, ""},
      {"OPEN_ALWAYS, existing", OPEN_ALWAYS, true, 0, ERROR_ALREADY_EXISTS, "old"},
      {"TRUNCATE_EXISTING, new", TRUNCATE_EXISTING, false, ERROR_FILE_NOT_FOUND, 0, nullptr},
      {"TRUNCATE_EXISTING, existing", TRUNCATE_EXISTING, true, 0, 0, ""},
  };
  int index = 0;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    const std::string path = dir + "/file" + std::to_string(index++);
    if (row.exists) twltest::WriteFile(path, "old");
    SetLastError(12345);
    HANDLE file = Open(path, GENERIC_READ | GENERIC_WRITE, 0, row.creation);
    if (row.error) {
      EXPECT_EQ(file, INVALID_HANDLE_VALUE);
      EXPECT_EQ(GetLastError(), row.error);
    } else {
      ASSERT_NE(file, INVALID_HANDLE_VALUE) << GetLastError();
      EXPECT_EQ(GetLastError(), row.lastError);
      CloseHandle(file);
    }
    if (row.after) {
      EXPECT_EQ(twltest::ReadFile(path), row.after);
    } else {
      EXPECT_FALSE(std::filesystem::exists(path));
    }
  }
}

TEST(CreateFile, DeleteOnCloseRemovesTheFile) {
  const std::string path = twltest::MakeTempDir("create") + "/scratch.tmp";
  HANDLE file = Open(path, GENERIC_WRITE, 0, CREATE_ALWAYS, FILE_FLAG_DELETE_ON_CLOSE);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(std::filesystem::exists(path));
  // Closing after the current folder changed still removes the right file.
  SetCurrentDirectoryA("/");
  CloseHandle(file);
  EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(CreateFile, FoldersNeedBackupSemantics) {
  const std::string dir = twltest::MakeTempDir("create");
  EXPECT_EQ(Open(dir, GENERIC_READ), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  HANDLE folder = Open(dir, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS);
  ASSERT_NE(folder, INVALID_HANDLE_VALUE);
  FILETIME written{};
  EXPECT_TRUE(GetFileTime(folder, nullptr, nullptr, &written));
  CloseHandle(folder);
}

TEST(FileIo, ShortReadAtTheEndThenZeroBytes) {
  const std::string path = twltest::MakeTempDir("io") + "/text.txt";
  twltest::WriteFile(path, "hello world");
  HANDLE file = Open(path, GENERIC_READ);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  char buffer[64] = {};
  DWORD got = 99;
  ASSERT_TRUE(ReadFile(file, buffer, 5, &got, nullptr));
  EXPECT_EQ(got, 5u);
  ASSERT_TRUE(ReadFile(file, buffer, sizeof buffer, &got, nullptr));
  EXPECT_EQ(got, 6u);
  EXPECT_EQ(std::string(buffer, got), " world");
  got = 99;
  EXPECT_TRUE(ReadFile(file, buffer, sizeof buffer, &got, nullptr));
  EXPECT_EQ(got, 0u);
  CloseHandle(file);
}

TEST(FileIo, WritingPastTheEndFillsWithZeros) {
  const std::string path = twltest::MakeTempDir("io") + "/data.bin";
  HANDLE file = Open(path, GENERIC_READ | GENERIC_WRITE, 0, CREATE_NEW);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  ASSERT_TRUE(WriteFile(file, "abc", 3, &written, nullptr));
  EXPECT_EQ(written, 3u);

  LARGE_INTEGER distance{}, position{};
  distance.QuadPart = 10;
  ASSERT_TRUE(SetFilePointerEx(file, distance, &position, FILE_BEGIN));
  EXPECT_EQ(position.QuadPart, 10);
  LARGE_INTEGER size{};
  ASSERT_TRUE(GetFileSizeEx(file, &size));
  EXPECT_EQ(size.QuadPart, 3);  // seeking alone does not grow the file
  ASSERT_TRUE(WriteFile(file, "Z", 1, &written, nullptr));
  ASSERT_TRUE(GetFileSizeEx(file, &size));
  EXPECT_EQ(size.QuadPart, 11);
  DWORD high = 7;
  EXPECT_EQ(GetFileSize(file, &high), 11u);
  EXPECT_EQ(high, 0u);
  CloseHandle(file);
  EXPECT_EQ(twltest::ReadFile(path), std::string("abc\0\0\0\0\0\0\0Z", 11));
}

TEST(FileIo, FilePointerMoves) {
  const std::string path = twltest::MakeTempDir("io") + "/data.bin";
  twltest::WriteFile(path, "0123456789");
  HANDLE file = Open(path, GENERIC_READ | GENERIC_WRITE);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  LARGE_INTEGER distance{}, position{};

  distance.QuadPart = -3;
  ASSERT_TRUE(SetFilePointerEx(file, distance, &position, FILE_END));
  EXPECT_EQ(position.QuadPart, 7);
  distance.QuadPart = -8;
  EXPECT_FALSE(SetFilePointerEx(file, distance, &position, FILE_CURRENT));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NEGATIVE_SEEK));
  distance.QuadPart = 0;
  ASSERT_TRUE(SetFilePointerEx(file, distance, &position, FILE_CURRENT));
  EXPECT_EQ(position.QuadPart, 7);  // the failed move left the pointer alone

  EXPECT_EQ(SetFilePointer(file, 2, nullptr, FILE_BEGIN), 2u);
  EXPECT_EQ(SetFilePointer(file, 3, nullptr, FILE_CURRENT), 5u);
  EXPECT_EQ(SetFilePointer(file, -20, nullptr, FILE_CURRENT), INVALID_SET_FILE_POINTER);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NEGATIVE_SEEK));
  LONG high = 1;  // 4 GiB + 1: allowed with a high part
  EXPECT_EQ(SetFilePointer(file, 1, &high, FILE_BEGIN), 1u);
  EXPECT_EQ(high, 1);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));

  EXPECT_EQ(SetFilePointer(file, 4, nullptr, FILE_BEGIN), 4u);
  ASSERT_TRUE(SetEndOfFile(file));
  LARGE_INTEGER size{};
  ASSERT_TRUE(GetFileSizeEx(file, &size));
  EXPECT_EQ(size.QuadPart, 4);
  CloseHandle(file);
  EXPECT_EQ(twltest::ReadFile(path), "0123");
}

TEST(FileIo, OverlappedOffsetsReadAndWriteThere) {
  const std::string path = twltest::MakeTempDir("io") + "/data.bin";
  twltest::WriteFile(path, "0123456789");
  HANDLE file = Open(path, GENERIC_READ | GENERIC_WRITE);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  OVERLAPPED at{};
  at.Offset = 6;
  char buffer[8] = {};
  DWORD got = 0;
  ASSERT_TRUE(ReadFile(file, buffer, 3, &got, &at));
  EXPECT_EQ(std::string(buffer, got), "678");
  at.Offset = 1;
  ASSERT_TRUE(WriteFile(file, "AB", 2, &got, &at));
  EXPECT_EQ(SetFilePointer(file, 0, nullptr, FILE_CURRENT), 3u);  // after the write, as on Windows
  CloseHandle(file);
  EXPECT_EQ(twltest::ReadFile(path), "0AB3456789");
}

TEST(FileIo, AccessIsChecked) {
  const std::string path = twltest::MakeTempDir("io") + "/data.bin";
  twltest::WriteFile(path, "abc");
  HANDLE reader = Open(path, GENERIC_READ);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  DWORD done = 9;
  EXPECT_FALSE(WriteFile(reader, "x", 1, &done, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(done, 0u);
  EXPECT_FALSE(SetEndOfFile(reader));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  CloseHandle(reader);

  HANDLE writer = Open(path, GENERIC_WRITE);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  char buffer[4];
  EXPECT_FALSE(ReadFile(writer, buffer, sizeof buffer, &done, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  CloseHandle(writer);

  EXPECT_FALSE(ReadFile(writer, buffer, sizeof buffer, &done, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST(FileIo, FileTimesAreWindowsTicks) {
  const std::string path = twltest::MakeTempDir("io") + "/data.bin";
  const uint64_t before = filetest::NowTicks();
  HANDLE file = Open(path, GENERIC_WRITE, 0, CREATE_NEW);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  ASSERT_TRUE(WriteFile(file, "x", 1, &written, nullptr));
  FILETIME creation{}, access{}, write{};
  ASSERT_TRUE(GetFileTime(file, &creation, &access, &write));
  const uint64_t after = filetest::NowTicks();
  // File system clocks are coarse (a tick of the kernel): allow a second.
  const uint64_t second = 10000000ull;
  for (const FILETIME* time : {&creation, &write}) {
    EXPECT_GE(filetest::Ticks(*time) + second, before);
    EXPECT_LE(filetest::Ticks(*time), after + second);
  }
  CloseHandle(file);
}
