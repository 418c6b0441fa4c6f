// The system's services around files and processes: numbered temporary
// files, detached processes, the folder test, the current folder and the
// text conversions.
#include <gtest/gtest.h>
#include <windows.h>

#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/core/System.h"
#include "app/system/TextConversion.h"
#include "foundation/errors/ThreadErrorState.h"
#include "support/TestPaths.h"

namespace {

std::string TempFolder() {
  char folder[MAX_PATH] = "";
  GetTempPathA(sizeof folder, folder);
  return folder;
}

}  // namespace

TEST(SystemFiles, ATemporaryFileSkipsTakenNames) {
  const std::string folder = TempFolder();
  std::filesystem::create_directories(folder);
  for (const char* taken : {"rec0000.tmp", "rec0001.tmp", "rec0002.tmp"}) twltest::WriteFile(folder + taken, "taken");
  HANDLE file = nullptr;
  const CStr name = CSystem::CreateTempFile("rec", ".tmp", &file);
  EXPECT_EQ(std::string(name.c_str()), folder + "rec0003.tmp");
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  EXPECT_TRUE(WriteFile(file, "new", 3, &written, nullptr));
  CloseHandle(file);
  EXPECT_EQ(twltest::ReadFile(folder + "rec0003.tmp"), "new");
  EXPECT_EQ(twltest::ReadFile(folder + "rec0000.tmp"), "taken");
  EXPECT_EQ(std::string(CSystem::CreateTempFile("rec", ".tmp", nullptr).c_str()), folder + "rec0004.tmp");
}

// A detached process is the leader of a session of its own.
TEST(SystemFiles, AStartedProcessRunsInItsOwnSession) {
  HANDLE process = nullptr;
  ASSERT_TRUE(CSystem::StartProcess("/bin/sleep 5", &process));
  std::string sessions;
  ASSERT_EQ(twltest::RunCommand("ps -o pid=,sid= --ppid " + std::to_string(getpid()), &sessions), 0);
  CloseHandle(process);
  bool found = false;
  for (size_t at = 0; at < sessions.size();) {
    const size_t end = sessions.find('\n', at);
    const std::string line = sessions.substr(at, end == std::string::npos ? std::string::npos : end - at);
    at = end == std::string::npos ? sessions.size() : end + 1;
    char pidText[32] = "";
    char sidText[32] = "";
    if (std::sscanf(line.c_str(), "%31s %31s", pidText, sidText) != 2) continue;
    if (std::string(pidText) == sidText && std::string(sidText) != std::to_string(getsid(0))) found = true;
    kill(static_cast<pid_t>(std::atoi(pidText)), SIGKILL);  // no need to wait five seconds
  }
  EXPECT_TRUE(found) << "no child leads its own session:\n" << sessions;

  EXPECT_FALSE(CSystem::StartProcess("/no/such/program", nullptr));
  EXPECT_STREQ(GetThreadErrorState()->text, "Error starting process.");
  EXPECT_EQ(GetThreadErrorState()->type, 1u);
}

TEST(SystemFiles, TheFolderTestLeavesTheCurrentFolder) {
  const std::string folder = twltest::MakeTempDir("folders");
  twltest::WriteFile(folder + "/file.txt", "x");
  const std::string before = GetSystem().GetCurrentDirectory().c_str();
  EXPECT_TRUE(CSystem::DirectoryExists(folder.c_str()));
  EXPECT_TRUE(CSystem::IsDirectory((folder + "/").c_str()));
  EXPECT_FALSE(CSystem::DirectoryExists((folder + "/file.txt").c_str()));
  EXPECT_FALSE(CSystem::DirectoryExists((folder + "/missing").c_str()));
  EXPECT_EQ(std::string(GetSystem().GetCurrentDirectory().c_str()), before);
}

TEST(SystemFiles, TextConversionsWithBothAllocators) {
  for (bool task : {false, true}) {
    WCHAR* wide = ToWideString("Grüße", task);
    ASSERT_TRUE(wide);
    EXPECT_EQ(std::u16string(wide), u"Grüße");
    char* back = ToAnsiString(wide, task);
    ASSERT_TRUE(back);
    EXPECT_STREQ(back, "Grüße");
    if (task) {
      CoTaskMemFree(wide);
      CoTaskMemFree(back);
    } else {
      delete[] wide;
      delete[] back;
    }
  }
  EXPECT_EQ(ToWideString(nullptr, false), nullptr);
}
