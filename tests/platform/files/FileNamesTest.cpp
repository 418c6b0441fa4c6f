// Calls on names: copy, move, delete, attributes, folders, temporary files,
// the current folder, full path names and drive types.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <windows.h>

#include <cstdlib>
#include <filesystem>
#include <regex>

#include "FileTestHelpers.h"
#include "support/TestPaths.h"

TEST(FileNames, CopyFile) {
  const std::string dir = twltest::MakeTempDir("names");
  twltest::WriteFile(dir + "/a.txt", "first");
  twltest::WriteFile(dir + "/b.txt", "second");
  EXPECT_FALSE(CopyFileA((dir + "/a.txt").c_str(), (dir + "/b.txt").c_str(), TRUE));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_EXISTS));
  EXPECT_EQ(twltest::ReadFile(dir + "/b.txt"), "second");
  ASSERT_TRUE(CopyFileA((dir + "/a.txt").c_str(), (dir + "/b.txt").c_str(), FALSE));
  EXPECT_EQ(twltest::ReadFile(dir + "/b.txt"), "first");
  EXPECT_FALSE(CopyFileA((dir + "/none.txt").c_str(), (dir + "/c.txt").c_str(), FALSE));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_FALSE(std::filesystem::exists(dir + "/c.txt"));
  EXPECT_FALSE(CopyFileA((dir + "/a.txt").c_str(), (dir + "/a.txt").c_str(), FALSE));
  EXPECT_EQ(twltest::ReadFile(dir + "/a.txt"), "first");  // copying onto itself destroys nothing
}

// A device or a named pipe is no file to copy: /dev/zero would never end,
// a pipe nobody writes would never answer.
TEST(FileNames, CopyFileCopiesOnlyFiles) {
  const std::string dir = twltest::MakeTempDir("names");
  ASSERT_EQ(mkfifo((dir + "/pipe").c_str(), 0600), 0);
  for (const std::string& source : {std::string("/dev/zero"), dir + "/pipe"}) {
    EXPECT_FALSE(CopyFileA(source.c_str(), (dir + "/copy").c_str(), FALSE)) << source;
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED)) << source;
    EXPECT_FALSE(std::filesystem::exists(dir + "/copy")) << source;
  }
}

TEST(FileNames, MoveFile) {
  const std::string dir = twltest::MakeTempDir("names");
  twltest::WriteFile(dir + "/a.txt", "first");
  twltest::WriteFile(dir + "/b.txt", "second");
  EXPECT_FALSE(MoveFileA((dir + "/a.txt").c_str(), (dir + "/b.txt").c_str()));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  ASSERT_TRUE(MoveFileA((dir + "/a.txt").c_str(), (dir + "\\c.txt").c_str()));
  EXPECT_EQ(twltest::ReadFile(dir + "/c.txt"), "first");
  EXPECT_FALSE(std::filesystem::exists(dir + "/a.txt"));
  // A change of case only is a rename, not a clash with itself.
  ASSERT_TRUE(MoveFileA((dir + "/c.txt").c_str(), (dir + "/C.TXT").c_str()));
  EXPECT_TRUE(std::filesystem::exists(dir + "/C.TXT"));
  EXPECT_FALSE(std::filesystem::exists(dir + "/c.txt"));
  EXPECT_FALSE(MoveFileA((dir + "/none").c_str(), (dir + "/d").c_str()));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST(FileNames, MoveFileReplacingExisting) {
  const std::string dir = twltest::MakeTempDir("names");
  twltest::WriteFile(dir + "/new.txt", "new");
  twltest::WriteFile(dir + "/Old.txt", "old");
  ASSERT_TRUE(MoveFileExA((dir + "/new.txt").c_str(), (dir + "/old.TXT").c_str(), MOVEFILE_REPLACE_EXISTING));
  EXPECT_EQ(twltest::ReadFile(dir + "/Old.txt"), "new") << "the target is found in any case and replaced";
  EXPECT_FALSE(std::filesystem::exists(dir + "/new.txt"));

  twltest::WriteFile(dir + "/next.txt", "next");
  HANDLE reader = CreateFileA((dir + "/Old.txt").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                              nullptr);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(MoveFileExA((dir + "/next.txt").c_str(), (dir + "/Old.txt").c_str(), MOVEFILE_REPLACE_EXISTING));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION)) << "open without delete sharing";
  CloseHandle(reader);
  EXPECT_EQ(twltest::ReadFile(dir + "/Old.txt"), "new");

  std::filesystem::create_directory(dir + "/folder");
  EXPECT_FALSE(MoveFileExA((dir + "/next.txt").c_str(), (dir + "/folder").c_str(), MOVEFILE_REPLACE_EXISTING));
  ASSERT_TRUE(MoveFileExA((dir + "/next.txt").c_str(), (dir + "/fresh.txt").c_str(), MOVEFILE_REPLACE_EXISTING));
  EXPECT_EQ(twltest::ReadFile(dir + "/fresh.txt"), "next");
  EXPECT_FALSE(MoveFileExA((dir + "/fresh.txt").c_str(), (dir + "/Old.txt").c_str(), 0)) << "without the flag";
}

// Replacing keeps the permissions of the file the old name leads to; a
// symbolic link at the name is replaced as a name (the caller passes the
// final path to update what it names).
TEST(FileNames, ReplaceFileKeepsThePermissionsOfTheReplacedFile) {
  const std::string dir = twltest::MakeTempDir("names");
  twltest::WriteFile(dir + "/list.txt", "old");
  chmod((dir + "/list.txt").c_str(), 0640);
  twltest::WriteFile(dir + "/list.new", "new");
  chmod((dir + "/list.new").c_str(), 0666);
  ASSERT_TRUE(ReplaceFileA((dir + "/list.txt").c_str(), (dir + "/list.new").c_str(), nullptr, REPLACEFILE_WRITE_THROUGH,
                           nullptr, nullptr));
  EXPECT_EQ(twltest::ReadFile(dir + "/list.txt"), "new");
  EXPECT_FALSE(std::filesystem::exists(dir + "/list.new"));
  struct stat info {};
  ASSERT_EQ(stat((dir + "/list.txt").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);

  twltest::WriteFile(dir + "/orphan.new", "orphan");
  EXPECT_FALSE(ReplaceFileA((dir + "/none.txt").c_str(), (dir + "/orphan.new").c_str(), nullptr, 0, nullptr, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND)) << "a missing file is not created";
  EXPECT_EQ(twltest::ReadFile(dir + "/orphan.new"), "orphan");
  ASSERT_TRUE(MoveFileExA((dir + "/orphan.new").c_str(), (dir + "/none.txt").c_str(),
                          MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
  EXPECT_EQ(twltest::ReadFile(dir + "/none.txt"), "orphan");
}

// A handle without data access names a file without reading it: it opens
// on a named pipe nobody writes, and its final path follows links.
TEST(FileNames, FinalPathOfAHandleFollowsLinksWithoutReading) {
  const std::string dir = twltest::MakeTempDir("names");
  std::filesystem::create_directory(dir + "/real");
  twltest::WriteFile(dir + "/real/list.txt", "list");
  std::filesystem::create_symlink("real/list.txt", dir + "/link.txt");
  ASSERT_EQ(mkfifo((dir + "/pipe").c_str(), 0600), 0);
  struct Case {
    const char* name;
    std::string expected;
  };
  for (const Case& row : {Case{"/link.txt", dir + "/real/list.txt"}, Case{"/pipe", dir + "/pipe"}}) {
    SCOPED_TRACE(row.name);
    HANDLE file = filetest::Open(dir + row.name, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    const DWORD needed = GetFinalPathNameByHandleA(file, nullptr, 0, FILE_NAME_NORMALIZED);
    EXPECT_EQ(needed, row.expected.size() + 1);
    std::string path(needed, '#');
    EXPECT_EQ(GetFinalPathNameByHandleA(file, path.data(), needed, FILE_NAME_NORMALIZED), row.expected.size());
    EXPECT_EQ(std::string(path.c_str()), row.expected);
    CloseHandle(file);
  }
}

TEST(FileNames, DeleteFile) {
  const std::string dir = twltest::MakeTempDir("names");
  twltest::WriteFile(dir + "/a.txt", "x");
  EXPECT_TRUE(DeleteFileA((dir + "/A.TXT").c_str()));
  EXPECT_FALSE(std::filesystem::exists(dir + "/a.txt"));
  EXPECT_FALSE(DeleteFileA((dir + "/a.txt").c_str()));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_FALSE(DeleteFileA((dir + "/none/a.txt").c_str()));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
  EXPECT_FALSE(DeleteFileA(dir.c_str()));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
}

TEST(FileNames, Attributes) {
  const std::string dir = twltest::MakeTempDir("names");
  twltest::WriteFile(dir + "/a.txt", "x");
  twltest::WriteFile(dir + "/.hidden", "x");
  twltest::WriteFile(dir + "/locked.txt", "x");
  chmod((dir + "/locked.txt").c_str(), 0444);
  EXPECT_EQ(GetFileAttributesA((dir + "/a.txt").c_str()), static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE));
  EXPECT_EQ(GetFileAttributesA(dir.c_str()), static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
  EXPECT_EQ(GetFileAttributesA((dir + "/.hidden").c_str()),
            static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN));
  EXPECT_EQ(GetFileAttributesA((dir + "/locked.txt").c_str()),
            static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(GetFileAttributesA((dir + "/none").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(GetFileAttributesA((dir + "/none/x").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
  // Read-only files are not deleted, as on Windows.
  EXPECT_FALSE(DeleteFileA((dir + "/locked.txt").c_str()));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
}

// A named pipe is no file: its attributes say so, and opening it for
// reading does not wait for a writer that may never come.
TEST(FileNames, ANamedPipeIsADeviceAndOpensWithoutWaitingForAWriter) {
  const std::string dir = twltest::MakeTempDir("names");
  const std::string pipe = dir + "/pipe";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  EXPECT_EQ(GetFileAttributesA(pipe.c_str()), static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_DEVICE));
  EXPECT_EQ(GetFileAttributesA("/dev/null"), static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_DEVICE));
  HANDLE file = CreateFileA(pipe.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  char byte = 0;
  DWORD got = 1;
  EXPECT_TRUE(ReadFile(file, &byte, 1, &got, nullptr));
  EXPECT_EQ(got, 0u) << "no writer: the end at once";
  CloseHandle(file);
}

TEST(FileNames, Folders) {
  const std::string dir = twltest::MakeTempDir("names");
  ASSERT_TRUE(CreateDirectoryA((dir + "\\New").c_str(), nullptr));
  EXPECT_TRUE(std::filesystem::is_directory(dir + "/New"));
  EXPECT_FALSE(CreateDirectoryA((dir + "/new").c_str(), nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  EXPECT_FALSE(CreateDirectoryA((dir + "/none/new").c_str(), nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
  twltest::WriteFile(dir + "/New/file", "x");
  EXPECT_FALSE(RemoveDirectoryA((dir + "/New").c_str()));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DIR_NOT_EMPTY));
  EXPECT_FALSE(RemoveDirectoryA((dir + "/New/file").c_str()));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DIRECTORY));
  ASSERT_TRUE(DeleteFileA((dir + "/New/file").c_str()));
  EXPECT_TRUE(RemoveDirectoryA((dir + "/NEW").c_str()));
  EXPECT_FALSE(std::filesystem::exists(dir + "/New"));
}

TEST(FileNames, TempPathFromTmpdirWithSlash) {
  const std::string tmp = twltest::SandboxDir() + "/tmp";  // $TMPDIR of test processes
  const DWORD needed = GetTempPathA(0, nullptr);
  EXPECT_EQ(needed, tmp.size() + 2);  // the slash and the NUL
  std::string buffer(needed, '#');
  EXPECT_EQ(GetTempPathA(needed, buffer.data()), needed - 1);
  EXPECT_EQ(std::string(buffer.c_str()), tmp + "/");
  char small[4] = "abc";
  EXPECT_EQ(GetTempPathA(sizeof small, small), needed);
  EXPECT_STREQ(small, "abc");  // untouched

  unsetenv("TMPDIR");
  char fallback[16];
  EXPECT_EQ(GetTempPathA(sizeof fallback, fallback), 5u);
  EXPECT_STREQ(fallback, "/tmp/");
}

TEST(FileNames, TempFileNames) {
  const std::string dir = twltest::MakeTempDir("names");
  char first[MAX_PATH] = {}, second[MAX_PATH] = {};
  UINT number = GetTempFileNameA(dir.c_str(), "prefix", 0, first);
  ASSERT_NE(number, 0u);
  ASSERT_NE(GetTempFileNameA((dir + "\\").c_str(), "pr", 0, second), 0u);
  EXPECT_STRNE(first, second);
  const std::regex shape(std::regex_replace(dir, std::regex(R"([.^$|()\[\]{}*+?\\])"), R"(\$&)") +
                         "/pre[0-9A-F]{1,4}\\.tmp");
  EXPECT_TRUE(std::regex_match(first, shape)) << first;
  char expectedName[32];
  snprintf(expectedName, sizeof expectedName, "/pre%X.tmp", number);
  EXPECT_EQ(std::string(first), dir + expectedName);
  EXPECT_TRUE(std::filesystem::exists(first));
  EXPECT_EQ(std::filesystem::file_size(first), 0u);
  EXPECT_TRUE(std::filesystem::exists(second));

  char named[MAX_PATH] = {};
  EXPECT_EQ(GetTempFileNameA(dir.c_str(), "abc", 0x1A2B, named), 0x1A2Bu);
  EXPECT_EQ(std::string(named), dir + "/abc1A2B.tmp");
  EXPECT_FALSE(std::filesystem::exists(named));  // a name only

  EXPECT_EQ(GetTempFileNameA((dir + "/none").c_str(), "x", 0, named), 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
}

TEST(FileNames, CurrentFolderAndFullPaths) {
  const std::string dir = twltest::MakeTempDir("names");
  std::filesystem::create_directory(dir + "/Work");
  ASSERT_TRUE(SetCurrentDirectoryA((dir + "\\WORK").c_str()));
  const std::string work = dir + "/Work";
  const DWORD needed = GetCurrentDirectoryA(0, nullptr);
  EXPECT_EQ(needed, work.size() + 1);
  std::string buffer(needed, '#');
  EXPECT_EQ(GetCurrentDirectoryA(needed, buffer.data()), work.size());
  EXPECT_EQ(std::string(buffer.c_str()), work);
  EXPECT_FALSE(SetCurrentDirectoryA((dir + "/none").c_str()));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));

  char full[MAX_PATH];
  LPSTR filePart = nullptr;
  DWORD length = GetFullPathNameA("sub\\..\\.\\skin.bmp", sizeof full, full, &filePart);
  EXPECT_EQ(std::string(full), work + "/skin.bmp");
  EXPECT_EQ(length, work.size() + 9);
  ASSERT_NE(filePart, nullptr);
  EXPECT_STREQ(filePart, "skin.bmp");
  EXPECT_EQ(GetFullPathNameA("/a//b/../c\\", sizeof full, full, &filePart), 5u);
  EXPECT_STREQ(full, "/a/c/");
  EXPECT_EQ(filePart, nullptr);
  EXPECT_EQ(GetFullPathNameA("skin.bmp", 4, full, nullptr), work.size() + 10);
}

TEST(FileNames, DriveTypes) {
  const std::string dir = twltest::MakeTempDir("names");
  struct statfs info {};
  ASSERT_EQ(statfs(dir.c_str(), &info), 0);
  const bool sandboxInRam = info.f_type == 0x01021994;
  EXPECT_EQ(GetDriveTypeA(dir.c_str()), sandboxInRam ? DRIVE_RAMDISK : DRIVE_FIXED);
  EXPECT_EQ(GetDriveTypeA((dir + "/none").c_str()), DRIVE_NO_ROOT_DIR);
  ASSERT_TRUE(SetCurrentDirectoryA(dir.c_str()));
  EXPECT_EQ(GetDriveTypeA(nullptr), GetDriveTypeA(dir.c_str()));
  if (statfs("/dev/shm", &info) == 0 && info.f_type == 0x01021994) {
    EXPECT_EQ(GetDriveTypeA("/dev/shm"), DRIVE_RAMDISK);
  }
  EXPECT_EQ(GetDriveTypeA("/proc"), DRIVE_FIXED);
}
