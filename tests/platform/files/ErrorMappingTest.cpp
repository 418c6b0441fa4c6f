// The errno → Win32 table, each row provoked by a real failing call.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <windows.h>

#include <functional>

#include "FileTestHelpers.h"
#include "support/TestPaths.h"

using filetest::Open;

namespace {

constexpr DWORD kSucceeded = 0xFFFFFFFFu;

// The last error of an open that must fail (kSucceeded if it did not).
DWORD OpenError(const std::string& path, DWORD access, DWORD creation = OPEN_EXISTING) {
  HANDLE file = Open(path, access, FILE_SHARE_READ | FILE_SHARE_WRITE, creation);
  if (file == INVALID_HANDLE_VALUE) return GetLastError();
  CloseHandle(file);
  return kSucceeded;
}

// Opening a mode-000 file as an unprivileged user. As root (where mode 000
// denies nothing) the open runs in a child that gave up root first.
DWORD AccessDeniedError(const std::string& dir) {
  std::string locked = dir + "/locked.txt";
  std::string open = dir + "/open.txt";
  twltest::WriteFile(locked, "secret");
  twltest::WriteFile(open, "public");
  chmod(locked.c_str(), 0);
  chmod(open.c_str(), 0644);
  if (geteuid() != 0) return OpenError(locked, GENERIC_READ);
  // Let the unprivileged child reach the folder, not more.
  chmod(twltest::SandboxDir().c_str(), 0711);
  chmod(dir.c_str(), 0711);
  int status = twltest::WaitChild(twltest::SpawnChild("OpenAsNobody", {locked, open}));
  return WIFEXITED(status) ? static_cast<DWORD>(WEXITSTATUS(status)) : kSucceeded;
}

}  // namespace

// Exit code: the last error of opening args[0]; 100+ when something else
// went wrong (privileges kept, or even the readable control file refused).
TWLTEST_CHILD(OpenAsNobody) {
  if (setgid(65534) != 0 || setuid(65534) != 0) return 100;
  HANDLE control = Open(args[1], GENERIC_READ);
  if (control == INVALID_HANDLE_VALUE) return 101;
  CloseHandle(control);
  HANDLE file = Open(args[0], GENERIC_READ);
  if (file != INVALID_HANDLE_VALUE) return 102;
  return static_cast<int>(GetLastError());
}

TEST(ErrnoMapping, RealFailuresGiveTheWin32Codes) {
  const std::string dir = twltest::MakeTempDir("errors");
  twltest::WriteFile(dir + "/exists.txt", "x");
  struct Row {
    const char* what;
    std::function<DWORD()> provoke;
    DWORD expected;
  };
  const Row rows[] = {
      {"missing file (ENOENT)", [&] { return OpenError(dir + "/missing.txt", GENERIC_READ); },
       static_cast<DWORD>(ERROR_FILE_NOT_FOUND)},
      {"file in a missing folder (ENOENT)", [&] { return OpenError(dir + "/nofolder/x.txt", GENERIC_READ); },
       static_cast<DWORD>(ERROR_PATH_NOT_FOUND)},
      {"file used as a folder (ENOTDIR)", [&] { return OpenError(dir + "/exists.txt/x.txt", GENERIC_READ); },
       static_cast<DWORD>(ERROR_PATH_NOT_FOUND)},
      {"mode 000 file (EACCES)", [&] { return AccessDeniedError(dir); }, static_cast<DWORD>(ERROR_ACCESS_DENIED)},
      {"folder opened for writing (EISDIR)", [&] { return OpenError(dir, GENERIC_WRITE); },
       static_cast<DWORD>(ERROR_ACCESS_DENIED)},
      {"writing /dev/full (ENOSPC)",
       [] {
         HANDLE full = Open("/dev/full", GENERIC_WRITE);
         if (full == INVALID_HANDLE_VALUE) return GetLastError() + 1000;
         DWORD written = 99;
         BOOL ok = WriteFile(full, "data", 4, &written, nullptr);
         DWORD error = ok ? kSucceeded : GetLastError();
         CloseHandle(full);
         return written == 0 ? error : kSucceeded;
       },
       static_cast<DWORD>(ERROR_DISK_FULL)},
      {"CREATE_NEW on an existing file (EEXIST)",
       [&] { return OpenError(dir + "/exists.txt", GENERIC_WRITE, CREATE_NEW); }, static_cast<DWORD>(ERROR_FILE_EXISTS)},
      {"too long a name (ENAMETOOLONG)",
       [&] { return OpenError(dir + "/" + std::string(300, 'n'), GENERIC_WRITE, CREATE_ALWAYS); },
       static_cast<DWORD>(ERROR_FILENAME_EXCED_RANGE)},
  };
  for (const Row& row : rows) {
    SetLastError(0);
    EXPECT_EQ(row.provoke(), row.expected) << row.what;
  }
}
