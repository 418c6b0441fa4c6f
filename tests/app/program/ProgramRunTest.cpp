// twl started headless as a user starts it: what its start writes to the
// log and the registry, where the settings go, requirements that end the
// start, and the stop signals that end it in order.
#include <signal.h>

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "ProgramFolder.h"
#include "app/core/SystemInfo.h"
#include "support/TestPaths.h"

using programtest::Contains;
using programtest::kDone;
using programtest::kSettingsPath;
using programtest::NewProgramFolder;

namespace {


// Runs twl until its start is done, then stops it with the signal;
// answers its exit code.
int RunUntilStarted(const std::string& folder, int stopSignal = SIGTERM) {
  const pid_t pid = programtest::Start(folder, {});
  const bool started = programtest::WaitForText(folder + "/Log.txt", kDone);
  kill(pid, stopSignal);
  const int code = programtest::Wait(pid);
  EXPECT_TRUE(started) << programtest::ReadText(folder + "/Log.txt") << programtest::ReadText(folder + "/stderr.txt");
  return code;
}

// A value as sqlite3 shows the registry: "type|hex of the data", empty
// when it is not there.
std::string StoredValue(const char* hive, const char* name) {
  const char* database = std::getenv("TWL_REGISTRY");
  EXPECT_NE(database, nullptr);
  std::string output;
  const std::string query = std::string("select type || '|' || hex(data) from registry where path = '") + hive +
                            "\\" + kSettingsPath + "' and name = '" + name + "';";
  EXPECT_EQ(twltest::RunCommand("sqlite3 '" + std::string(database) + "' \"" + query + "\"", &output), 0);
  while (!output.empty() && output.back() == '\n') output.pop_back();
  return output;
}

std::string Hex(const std::string& bytes) {
  static const char digits[] = "0123456789ABCDEF";
  std::string hex;
  for (unsigned char c : bytes) {
    hex += digits[c >> 4];
    hex += digits[c & 15];
  }
  return hex;
}

std::string Trimmed(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
  return text;
}

unsigned long long MemTotalBytes() {
  const std::string meminfo = programtest::ReadText("/proc/meminfo");
  const size_t at = meminfo.find("MemTotal:");
  return at == std::string::npos ? 0 : std::stoull(meminfo.substr(at + 9)) * 1024;
}

HKEY CreateKey(HKEY root, const char* path) {
  HKEY key = nullptr;
  EXPECT_EQ(RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr), ERROR_SUCCESS);
  return key;
}

}  // namespace

TEST(TwlRun, HeadlessStartLogsTheMachineAndKeepsItsSettings) {
  const std::string folder = NewProgramFolder("program");
  ASSERT_EQ(RunUntilStarted(folder), 0);
  const std::string log = programtest::ReadText(folder + "/Log.txt");
  std::string processors;
  ASSERT_EQ(twltest::RunCommand("nproc --all", &processors), 0);
  const std::string processorLine =
      Trimmed(processors) == "1" ? "single processor system" : Trimmed(processors) + " processor system";
  const std::string lines[] = {
      "\r\nVelbrook Tunewell Version 1.75 build 64 started (instance 0)\r\n\r\n",
      "Windows XP Professional (NT 5.1) build a28h detected\r\n",
      "\r\n" + processorLine + "\r\n",
      "physical memory: " + std::string(FormatByteSize(static_cast<LONGLONG>(MemTotalBytes())).c_str()) + ", free: ",
      "DirectX 7 detected\r\n",  // DirectDraw's interfaces tell the version exactly
      "-------- loading plugins --------\r\nfinished loading plugins\r\n",
      std::string(kDone) + "\r\n\r\n",
  };
  size_t from = 0;
  for (const std::string& line : lines) {
    const size_t at = log.find(line, from);
    EXPECT_NE(at, std::string::npos) << "missing or out of order: " << line << "\n" << log;
    if (at != std::string::npos) from = at;
  }
  EXPECT_FALSE(Contains(log, "WARNING")) << log;

  EXPECT_EQ(StoredValue("HKEY_CURRENT_USER", "AppDir"), "1|" + Hex(folder + "/" + std::string(1, '\0')));
  EXPECT_EQ(StoredValue("HKEY_CURRENT_USER", "FirstStart"), "4|00000000");
  EXPECT_EQ(StoredValue("HKEY_LOCAL_MACHINE", "AppDir"), "");
}

// The log window keeps its place when it is destroyed, which the ordered
// Exit does near its end: the value shows that Exit ran.
TEST(TwlRun, StopSignalsEndItInOrderWithZero) {
  for (int stop : {SIGINT, SIGTERM}) {
    HKEY settings = CreateKey(HKEY_CURRENT_USER, kSettingsPath);
    RegDeleteValueA(settings, "LogWindow_WindowRect");
    RegCloseKey(settings);
    const std::string folder = NewProgramFolder("stop");
    EXPECT_EQ(RunUntilStarted(folder, stop), 0) << strsignal(stop);
    EXPECT_TRUE(Contains(programtest::ReadText(folder + "/Log.txt"), kDone));
    const std::string place = StoredValue("HKEY_CURRENT_USER", "LogWindow_WindowRect");
    EXPECT_EQ(place.substr(0, 2), "3|") << strsignal(stop) << ": " << place;
    EXPECT_EQ(place.size(), 2u + 32u) << strsignal(stop) << ": 16 bytes";
  }
}

TEST(TwlRun, SettingsGoWhereTheKeyIsAndAnotherAppDirIsKept) {
  RegCloseKey(CreateKey(HKEY_LOCAL_MACHINE, kSettingsPath));
  const std::string folder = NewProgramFolder("machine");
  ASSERT_EQ(RunUntilStarted(folder), 0);
  EXPECT_EQ(StoredValue("HKEY_LOCAL_MACHINE", "AppDir"), "1|" + Hex(folder + "/" + std::string(1, '\0')));
  EXPECT_EQ(StoredValue("HKEY_LOCAL_MACHINE", "FirstStart"), "4|00000000");
  EXPECT_EQ(StoredValue("HKEY_CURRENT_USER", "AppDir"), "") << "nothing under the user";

  const std::string other = NewProgramFolder("other");
  ASSERT_EQ(RunUntilStarted(other), 0);
  EXPECT_EQ(StoredValue("HKEY_LOCAL_MACHINE", "AppDir"), "1|" + Hex(folder + "/" + std::string(1, '\0')))
      << "the first folder stays";
}

TEST(TwlRun, DirectXTwoEndsTheStartWithItsMessage) {
  HKEY key = CreateKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\DirectX");
  const BYTE two[8] = {0, 0, 0, 2, 0, 0, 0, 0};
  ASSERT_EQ(RegSetValueExA(key, "InstalledVersion", 0, REG_BINARY, two, 8), ERROR_SUCCESS);
  RegCloseKey(key);
  const std::string folder = NewProgramFolder("directx");
  const pid_t pid = programtest::Start(folder, {});
  EXPECT_EQ(programtest::Wait(pid), 1);
  const std::string text =
      "The player needs DirectX 3 or higher (DirectX 2 was detected). Please install DirectX 3 or higher.";
  EXPECT_TRUE(Contains(programtest::ReadText(folder + "/stderr.txt"), "[message box] DirectX error: " + text))
      << programtest::ReadText(folder + "/stderr.txt");
  const std::string log = programtest::ReadText(folder + "/Log.txt");
  EXPECT_TRUE(Contains(log, " - a fatal error occurred:\r\nDirectX error\r\n" + text + "\r\n\r\n")) << log;
  EXPECT_FALSE(Contains(log, kDone));
  EXPECT_EQ(StoredValue("HKEY_CURRENT_USER", "FirstStart"), "") << "the start never completed";
}

TEST(TwlRun, AProgramPathLongerThan258CharactersStarts) {
  const std::string folder = twltest::MakeTempDir("long") + "/" + std::string(100, 'a') + "/" +
                             std::string(100, 'b') + "/" + std::string(60, 'c');
  ASSERT_GT(folder.size() + 4, 258u);
  programtest::InstallProgram(folder, programtest::BuiltTwl());
  ASSERT_EQ(RunUntilStarted(folder), 0);
  EXPECT_TRUE(Contains(programtest::ReadText(folder + "/Log.txt"), "started (instance 0)"));
  EXPECT_EQ(StoredValue("HKEY_CURRENT_USER", "AppDir"), "1|" + Hex(folder + "/" + std::string(1, '\0')));
}
