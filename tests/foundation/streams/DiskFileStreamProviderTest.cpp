// The provider of local files and the transfer rates of drives.
#include "foundation/streams/DiskFileStreamProvider.h"

#include <gtest/gtest.h>

#include <string>

#include "StreamTestHelpers.h"
#include "foundation/streams/DriveTransferRate.h"
#include "foundation/streams/Stream.h"
#include "foundation/streams/WindowsErrorMap.h"
#include "support/TestPaths.h"

using streamtest::CatchStreamError;

TEST(DiskFileStreamProvider, CanOpenPathsAndFileURLsOnly) {
  struct Row {
    const char* url;
    bool accepted;
  };
  const Row rows[] = {
      {"/music/a.mp3", true},      {"file:///music/a.mp3", true}, {"D:\\a.mp3", true},
      {"file://D:\\a.mp3", true},  {"FILE://D:\\x.txt", true},   {"relative/a.mp3", true},
      {"ftp://host/a.mp3", false}, {"http://host/a.mp3", false}, {"memfile://", false},
  };
  CDiskFileStreamProvider provider;
  for (const Row& row : rows) {
    StreamOpenAnswer answer{0xAAAA, 0xBBBB, 0xCCCC};
    EXPECT_EQ(provider.CanOpen(row.url, kStreamRead | kStreamShareRead, answer), row.accepted) << row.url;
    if (row.accepted) {
      EXPECT_EQ(answer.capabilities, 0xDu) << row.url;
      EXPECT_EQ(answer.delay, 0u) << row.url;
    } else {
      EXPECT_EQ(answer.capabilities, 0xAAAAu) << row.url << ": a refusal leaves the answer alone";
      EXPECT_EQ(answer.transferRate, 0xBBBBu);
    }
  }
  StreamOpenAnswer answer{};
  ASSERT_TRUE(provider.CanOpen("/dev/shm/new.bin", kStreamWrite | kStreamCreateAlways, answer));
  EXPECT_EQ(answer.capabilities, 0xEu);
  EXPECT_EQ(answer.transferRate, 10000000u);
}

TEST(DiskFileStreamProvider, OpensDeleteOnCloseStreams) {
  const std::string path = twltest::MakeTempDir("provider") + "/a.txt";
  twltest::WriteFile(path, "hello");
  CDiskFileStreamProvider provider;
  EXPECT_EQ(provider.Open("ftp://host/a.txt", kStreamRead), nullptr);
  CStream* stream = provider.Open(("file://" + path).c_str(), kStreamRead);
  ASSERT_NE(stream, nullptr);
  char buffer[8] = {};
  EXPECT_EQ(stream->Read(buffer, 8), 5u);
  EXPECT_EQ(std::string(buffer), "hello");
  stream->Close();  // deletes it: the sanitizer run shows no leak
  EXPECT_EQ(CatchStreamError([&] { provider.Open((path + ".missing").c_str(), kStreamRead); }).code,
            CStreamError::kFileNotFound);
}

// On Linux a path's own mount decides; a file not made yet takes the mount
// of its nearest folder; relative and network paths take the current
// directory's.
TEST(DriveTransferRate, ByTheMountOfThePath) {
  EXPECT_EQ(GetDriveTransferRate(""), 0u);
  EXPECT_EQ(GetDriveTransferRate(nullptr), 0u);
  ASSERT_EQ(GetDriveTypeA("/dev/shm"), DRIVE_RAMDISK) << "the test needs /dev/shm on tmpfs";
  EXPECT_EQ(GetDriveTransferRate("/dev/shm"), 10000000u);
  EXPECT_EQ(GetDriveTransferRate("/dev/shm/not/made/yet.mp3"), 10000000u);
  ASSERT_EQ(GetDriveTypeA("/proc"), DRIVE_FIXED);
  EXPECT_EQ(GetDriveTransferRate("/proc/self/status"), 2000000u);

  ASSERT_TRUE(SetCurrentDirectoryA("/dev/shm"));
  EXPECT_EQ(GetDriveTransferRate("a.mp3"), 10000000u);
  EXPECT_EQ(GetDriveTransferRate("\\\\server\\share\\a.mp3"), 10000000u);
  ASSERT_TRUE(SetCurrentDirectoryA("/proc"));
  EXPECT_EQ(GetDriveTransferRate("a.mp3"), 2000000u);
  EXPECT_EQ(GetDriveTransferRate("\\\\server\\share\\a.mp3"), 2000000u);
}

TEST(MapWindowsError, Table) {
  struct Row {
    DWORD windows;
    DWORD stream;
  };
  const Row rows[] = {
      {0, 0},    {2, 10},   {3, 10},  {6, 10},   {206, 10}, {4, 13},  {113, 13}, {5, 12},  {32, 12},
      {80, 12},  {183, 12}, {11, 14}, {23, 14},  {24, 6},   {131, 6}, {38, 8},   {39, 11}, {112, 11},
      {1, 1},    {87, 1},   {999, 1},
  };
  for (const Row& row : rows) EXPECT_EQ(MapWindowsError(row.windows), row.stream) << row.windows;
}
