// Change notification on a folder: what signals the handle, re-arming, and
// a folder that disappears under a waiter.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <thread>

#include "support/TestPaths.h"

namespace {

// Watches a fresh folder for file-name changes; closes the handle at the end.
class WatchedFolder {
 public:
  explicit WatchedFolder(DWORD filter = FILE_NOTIFY_CHANGE_FILE_NAME)
      : path_(twltest::MakeTempDir("watched")), handle_(FindFirstChangeNotificationA(path_.c_str(), FALSE, filter)) {}
  ~WatchedFolder() {
    if (handle_ != INVALID_HANDLE_VALUE) FindCloseChangeNotification(handle_);
  }

  const std::string& Path() const { return path_; }
  HANDLE Handle() const { return handle_; }
  bool Signalled(DWORD milliseconds = 0) const { return WaitForSingleObject(handle_, milliseconds) == WAIT_OBJECT_0; }

 private:
  std::string path_;
  HANDLE handle_;
};

TEST(ChangeNotification, CopyingAFileInSignalsAndReArmingWaitsForTheNextChange) {
  WatchedFolder folder;
  ASSERT_NE(folder.Handle(), INVALID_HANDLE_VALUE) << GetLastError();
  EXPECT_FALSE(folder.Signalled());

  const std::string source = twltest::MakeTempDir("source") + "/plugin.dll";
  twltest::WriteFile(source, std::string(100000, 'x'));
  ASSERT_EQ(twltest::RunCommand("cp '" + source + "' '" + folder.Path() + "/'"), 0);
  EXPECT_TRUE(folder.Signalled(1000));
  EXPECT_TRUE(folder.Signalled()) << "a wait does not consume the signal";

  ASSERT_TRUE(FindNextChangeNotification(folder.Handle()));
  EXPECT_FALSE(folder.Signalled(50)) << "nothing changed since";

  ASSERT_EQ(twltest::RunCommand("cp '" + source + "' '" + folder.Path() + "/second.dll'"), 0);
  EXPECT_TRUE(folder.Signalled(1000));
}

TEST(ChangeNotification, EachKindOfNameChangeSignals) {
  struct Row {
    const char* what;
    std::function<void(const std::string& folder, const std::string& outside)> change;
    bool signals;
  };
  namespace fs = std::filesystem;
  const Row rows[] = {
      {"created", [](auto& in, auto&) { twltest::WriteFile(in + "/new.dll", "x"); }, true},
      {"moved in", [](auto& in, auto& out) { fs::rename(out + "/a.dll", in + "/a.dll"); }, true},
      {"moved out", [](auto& in, auto& out) { fs::rename(in + "/old.dll", out + "/old.dll"); }, true},
      {"renamed inside", [](auto& in, auto&) { fs::rename(in + "/old.dll", in + "/older.dll"); }, true},
      {"deleted", [](auto& in, auto&) { fs::remove(in + "/old.dll"); }, true},
      {"rewritten and closed", [](auto& in, auto&) { twltest::WriteFile(in + "/old.dll", "new content"); }, true},
      {"subfolder created", [](auto& in, auto&) { fs::create_directory(in + "/sub.dll"); }, false},
      {"read", [](auto& in, auto&) { twltest::ReadFile(in + "/old.dll"); }, false},
      {"changed outside", [](auto&, auto& out) { twltest::WriteFile(out + "/a.dll", "y"); }, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    const std::string outside = twltest::MakeTempDir("outside");
    twltest::WriteFile(outside + "/a.dll", "a");
    WatchedFolder folder;
    twltest::WriteFile(folder.Path() + "/old.dll", "old");
    ASSERT_NE(folder.Handle(), INVALID_HANDLE_VALUE);
    ASSERT_TRUE(folder.Signalled()) << "the file written before the test is a change";
    ASSERT_TRUE(FindNextChangeNotification(folder.Handle()));

    row.change(folder.Path(), outside);
    EXPECT_EQ(folder.Signalled(row.signals ? 1000 : 50), row.signals);
  }
}

// A plug-in caught while it was still being copied fails to load; the close
// of its writer must signal once more so that it is tried again.
TEST(ChangeNotification, CloseOfAHalfWrittenFileSignalsAgainAfterReArming) {
  WatchedFolder folder;
  FILE* file = std::fopen((folder.Path() + "/half.dll").c_str(), "wb");
  ASSERT_NE(file, nullptr);
  std::fputs("first half", file);
  std::fflush(file);
  ASSERT_TRUE(folder.Signalled(1000));
  ASSERT_TRUE(FindNextChangeNotification(folder.Handle()));
  EXPECT_FALSE(folder.Signalled(50));

  std::fputs("second half", file);
  std::fclose(file);
  EXPECT_TRUE(folder.Signalled(1000));
}

TEST(ChangeNotification, RemovingTheWatchedFolderReleasesAWaiterAndReArmingFails) {
  WatchedFolder folder;
  ASSERT_NE(folder.Handle(), INVALID_HANDLE_VALUE);
  DWORD waited = WAIT_FAILED;
  std::thread waiter([&] { waited = WaitForSingleObject(folder.Handle(), INFINITE); });
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  std::filesystem::remove_all(folder.Path());
  waiter.join();
  EXPECT_EQ(waited, WAIT_OBJECT_0);
  EXPECT_FALSE(FindNextChangeNotification(folder.Handle()));
  EXPECT_TRUE(folder.Signalled()) << "the handle stays signalled, so no later wait hangs";
}

TEST(ChangeNotification, BadArgumentsFailWithTheirCodes) {
  const std::string dir = twltest::MakeTempDir("bad");
  twltest::WriteFile(dir + "/file.txt", "x");
  struct Row {
    std::string folder;
    BOOL subtree;
    DWORD filter;
    DWORD error;
  };
  const Row rows[] = {
      {dir + "/missing", FALSE, FILE_NOTIFY_CHANGE_FILE_NAME, ERROR_FILE_NOT_FOUND},
      {dir + "/file.txt", FALSE, FILE_NOTIFY_CHANGE_FILE_NAME, ERROR_DIRECTORY},
      {dir, FALSE, 0, ERROR_INVALID_PARAMETER},
      {dir, FALSE, 0x100, ERROR_INVALID_PARAMETER},  // a kind of change not watched here
      {"", FALSE, FILE_NOTIFY_CHANGE_FILE_NAME, ERROR_INVALID_PARAMETER},
      {dir, TRUE, FILE_NOTIFY_CHANGE_FILE_NAME, ERROR_NOT_SUPPORTED},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.folder + " filter " + std::to_string(row.filter));
    EXPECT_EQ(FindFirstChangeNotificationA(row.folder.c_str(), row.subtree, row.filter), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), row.error);
  }
  EXPECT_FALSE(FindNextChangeNotification(nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST(ChangeNotification, AFolderNameInAnotherCaseIsWatched) {
  const std::string dir = twltest::MakeTempDir("case");
  std::filesystem::create_directory(dir + "/PlugIns");
  HANDLE handle = FindFirstChangeNotificationA((dir + "\\plugins").c_str(), FALSE, FILE_NOTIFY_CHANGE_FILE_NAME);
  ASSERT_NE(handle, INVALID_HANDLE_VALUE) << GetLastError();
  twltest::WriteFile(dir + "/PlugIns/x.dll", "x");
  EXPECT_EQ(WaitForSingleObject(handle, 1000), WAIT_OBJECT_0);
  EXPECT_TRUE(FindCloseChangeNotification(handle));
  EXPECT_FALSE(FindCloseChangeNotification(handle));
}

}  // namespace
