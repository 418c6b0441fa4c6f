// Share modes between handles of this process.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>

#include "FileTestHelpers.h"
#include "support/TestPaths.h"

using filetest::Open;

namespace {

constexpr DWORD R = GENERIC_READ;
constexpr DWORD W = GENERIC_WRITE;
constexpr DWORD RW = GENERIC_READ | GENERIC_WRITE;
constexpr DWORD SR = FILE_SHARE_READ;
constexpr DWORD SW = FILE_SHARE_WRITE;
constexpr DWORD SD = FILE_SHARE_DELETE;

}  // namespace

TEST(ShareModes, SecondOpenIsCheckedAgainstTheFirst) {
  const std::string path = twltest::MakeTempDir("share") + "/file.bin";
  twltest::WriteFile(path, "data");
  struct Row {
    DWORD firstAccess, firstShare, secondAccess, secondShare;
    bool allowed;
  };
  const Row rows[] = {
      {R, SR, R, SR, true},
      {R, SR, W, SR | SW, false},        // the first does not share writing
      {R, 0, R, SR | SW, false},         // nor reading
      {R, SR | SW, W, SR, true},
      {W, SR, R, SR, false},             // the second does not share the first's writing
      {W, SR | SW, R, SR | SW, true},
      {RW, SR | SW, RW, SR | SW, true},
      {RW, SR, R, SR | SW, true},        // sharing reading is enough for a reader
      {RW, SR, R, SR, false},            // who must share the first's writing
      {R, SR | SW | SD, R, SR, true},
      {0, 0, RW, 0, true},               // a handle without data access restricts nothing
      {RW, 0, 0, 0, true},               // and is not restricted
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << std::hex << row.firstAccess << "/" << row.firstShare << " then "
                                    << row.secondAccess << "/" << row.secondShare);
    HANDLE first = Open(path, row.firstAccess, row.firstShare);
    ASSERT_NE(first, INVALID_HANDLE_VALUE) << GetLastError();
    HANDLE second = Open(path, row.secondAccess, row.secondShare);
    if (row.allowed) {
      EXPECT_NE(second, INVALID_HANDLE_VALUE) << GetLastError();
    } else {
      EXPECT_EQ(second, INVALID_HANDLE_VALUE);
      EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    }
    if (second != INVALID_HANDLE_VALUE) CloseHandle(second);
    CloseHandle(first);
  }
}

TEST(ShareModes, ClosingTheFirstHandleLiftsTheDenial) {
  const std::string path = twltest::MakeTempDir("share") + "/file.bin";
  twltest::WriteFile(path, "data");
  HANDLE first = Open(path, GENERIC_WRITE, 0);
  ASSERT_NE(first, INVALID_HANDLE_VALUE);
  EXPECT_EQ(Open(path, GENERIC_READ), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  ASSERT_TRUE(CloseHandle(first));
  HANDLE second = Open(path, GENERIC_READ);
  EXPECT_NE(second, INVALID_HANDLE_VALUE);
  CloseHandle(second);
}

TEST(ShareModes, DeniedOpenLeavesTheFileAlone) {
  // CREATE_ALWAYS on a file open without write sharing must not truncate it.
  const std::string path = twltest::MakeTempDir("share") + "/file.bin";
  twltest::WriteFile(path, "keep me");
  HANDLE first = Open(path, GENERIC_READ, FILE_SHARE_READ);
  ASSERT_NE(first, INVALID_HANDLE_VALUE);
  EXPECT_EQ(Open(path, GENERIC_WRITE, FILE_SHARE_READ, CREATE_ALWAYS), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  EXPECT_EQ(twltest::ReadFile(path), "keep me");
  CloseHandle(first);
}

TEST(ShareModes, DeleteAndMoveNeedDeleteSharing) {
  const std::string dir = twltest::MakeTempDir("share");
  const std::string path = dir + "/file.bin";
  twltest::WriteFile(path, "data");

  HANDLE open = Open(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE);
  ASSERT_NE(open, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(DeleteFileA(path.c_str()));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  EXPECT_FALSE(MoveFileA(path.c_str(), (dir + "/moved.bin").c_str()));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  EXPECT_TRUE(std::filesystem::exists(path));
  CloseHandle(open);

  open = Open(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE);
  ASSERT_NE(open, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(DeleteFileA(path.c_str()));
  EXPECT_FALSE(std::filesystem::exists(path));
  CloseHandle(open);
}

TEST(ShareModes, DeleteOnCloseNeedsDeleteSharingFromOthers) {
  const std::string path = twltest::MakeTempDir("share") + "/temp.bin";
  HANDLE first = Open(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, CREATE_NEW,
                      FILE_FLAG_DELETE_ON_CLOSE);
  ASSERT_NE(first, INVALID_HANDLE_VALUE);
  EXPECT_EQ(Open(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  HANDLE second = Open(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
  EXPECT_NE(second, INVALID_HANDLE_VALUE);
  CloseHandle(second);
  EXPECT_TRUE(std::filesystem::exists(path));
  CloseHandle(first);
  EXPECT_FALSE(std::filesystem::exists(path));
}
