// Runs of the program's entry that need the testing header: a copy of
// this test program named twl, in a program folder of its own, runs the
// entry as twl does.
#include <gtest/gtest.h>
#include <windows.h>

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <string>
#include <thread>

#include "ProgramFolder.h"
#include "app/core/ProgramEntry.h"
#include "app/core/System.h"
#include "app/core/UserInterfaceLink.h"
#include "foundation/errors/ThreadErrorState.h"
#include "playback/playersystem/PlayerSystem.h"
#include "support/TestPaths.h"
#include "twlwin/testing.h"
#include "twlwin/testing_user.h"

using programtest::Contains;

namespace {

std::string NewChildFolder(const std::string& hint) {
  const std::string folder = twltest::MakeTempDir(hint);
  programtest::InstallProgram(folder, programtest::ThisTestProgram());
  return folder;
}

int RunChild(const std::string& folder, const std::string& name, const std::vector<std::string>& environment = {}) {
  return programtest::Wait(programtest::Start(folder, {"--twl-child", name}, environment));
}

int RunEntry() { return RunProgram(GetModuleHandleA(nullptr), ""); }

}  // namespace

TWLTEST_CHILD(StartWithOldControls) {
  TwlTestSetFileVersion("comctl32.dll", MAKELONG(70, 4), 0);
  return RunEntry();
}

TEST(TwlEntry, CommonControlsBelow471EndTheStartWithTheirMessage) {
  const std::string folder = NewChildFolder("controls");
  EXPECT_EQ(RunChild(folder, "StartWithOldControls"), 1);
  const std::string errors = programtest::ReadText(folder + "/stderr.txt");
  EXPECT_TRUE(Contains(errors, "[message box] Common Controls error: The player needs the Windows Common Controls "
                               "version 4.71 or higher. Version 4.70 was detected"))
      << errors;
  EXPECT_FALSE(Contains(programtest::ReadText(folder + "/Log.txt"), "START INITIALIZATIONS DONE"));
}

// The loop's first GetMessageA fails; the child answers the entry's code
// when Exit took everything down, 99 when something was left.
// The first start's update question, answered at an earlier start: its
// box would run a loop and write to stderr after the start is done.
void AnswerUpdateQuestionBefore() {
  HKEY key = nullptr;
  const DWORD off = 0;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, programtest::kSettingsPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                      nullptr) != ERROR_SUCCESS)
    return;
  RegSetValueExA(key, "UpdateNotification", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&off), sizeof off);
  RegCloseKey(key);
}

TWLTEST_CHILD(LoopFails) {
  // No first-start question: its box's loop would take the failing call.
  AnswerUpdateQuestionBefore();
  TwlTestFailNextGetMessageOfThread(GetCurrentThreadId());
  const int result = RunEntry();
  CSystem& system = GetSystem();
  const bool down = !system.HasLogWindow() && !system.GetLogFile().HasFileName() &&
                    system.GetLogFileName().IsEmpty() && system.GetCrashLogFileName().IsEmpty() &&
                    !system.GetFileInfoDataBase() && !system.GetFolderInfoDataBase() &&
                    system.GetPlugInManager().GetCount() == 0 && GetLogFront() == nullptr;
  return down ? result : 99;
}

TEST(TwlEntry, AFailingGetMessageIsLoggedShownAndEveryExitStepRuns) {
  const std::string folder = NewChildFolder("loop");
  EXPECT_EQ(RunChild(folder, "LoopFails"), 1);
  const std::string log = programtest::ReadText(folder + "/Log.txt");
  EXPECT_TRUE(Contains(log, "START INITIALIZATIONS DONE --------\r\n\r\nMessage loop error\r\n")) << log;
  EXPECT_TRUE(Contains(programtest::ReadText(folder + "/stderr.txt"), "[message box] Windows error: Message loop error"));
}

// A worker thread reads address 0x10 once the start is done. Its stderr,
// where the headless message box writes, is appended to the log from then
// on, so that the log shows what came first.
TWLTEST_CHILD(WorkerFaults) {
  // Only the fault's report may follow the done line.
  AnswerUpdateQuestionBefore();
  const std::string self = programtest::ThisTestProgram();
  const std::string log = self.substr(0, self.rfind('/') + 1) + "Log.txt";
  std::thread([log] {
    programtest::WaitForText(log, "START INITIALIZATIONS DONE");
    const int appended = open(log.c_str(), O_WRONLY | O_APPEND);
    if (appended >= 0) dup2(appended, STDERR_FILENO);
    // The address comes through a volatile, so the optimiser cannot see the
    // bad read coming and warn about it at build time.
    static volatile std::uintptr_t wildAddress = 0x10;
    const volatile char* wild = reinterpret_cast<const volatile char*>(wildAddress);
    (void)*wild;
  }).detach();
  return RunEntry();
}

// The crash report follows the log so far in the first free crash log,
// and names the module of the faulting code; older crash logs stay. The
// fatal-error box comes only after the report and the crash log.
TEST(TwlEntry, AFaultingWorkerThreadLeavesTheNextCrashLog) {
  const std::string folder = NewChildFolder("crash");
  twltest::WriteFile(folder + "/CrashLog.txt", "first");
  twltest::WriteFile(folder + "/CrashLog_2.txt", "second");
  // A sanitizer's own fault handler stays out of the way of the filter.
  const int code = RunChild(folder, "WorkerFaults", {"ASAN_OPTIONS=handle_segv=0:handle_sigbus=0:detect_leaks=0"});
  EXPECT_NE(code, 0);
  EXPECT_EQ(programtest::ReadText(folder + "/CrashLog.txt"), "first");
  EXPECT_EQ(programtest::ReadText(folder + "/CrashLog_2.txt"), "second");
  const std::string report = programtest::ReadText(folder + "/CrashLog_3.txt");
  EXPECT_TRUE(Contains(report, "started (instance 0)\r\n")) << report;
  const size_t done = report.find("START INITIALIZATIONS DONE");
  const size_t crash = report.find("Fatal Exception at 0x");
  EXPECT_NE(done, std::string::npos) << report;
  EXPECT_NE(crash, std::string::npos) << report;
  EXPECT_LT(done, crash) << "the log comes first";
  EXPECT_TRUE(Contains(report, " (twl, base address: 0x")) << report;
  EXPECT_TRUE(Contains(report, "Attempted to read at 0x00000010")) << report;

  const std::string box =
      "[message box] Velbrook Tunewell - Fatal error: A fatal error occurred.\n\nSee 'CrashLog.txt' or 'Log.txt' "
      "for further details after you closed this messagebox.\n";
  EXPECT_FALSE(Contains(report, "[message box]")) << "the crash log was complete before the box";
  const std::string log = programtest::ReadText(folder + "/Log.txt");
  const size_t reportInLog = log.find("Fatal Exception at 0x");
  const size_t boxInLog = log.find(box);
  ASSERT_NE(boxInLog, std::string::npos) << log;
  EXPECT_LT(reportInLog, boxInLog) << log;
  EXPECT_EQ(log.substr(boxInLog), box) << "nothing after the box";
}

// The PlugIns folder while the program runs. A child answers 0 when all
// went as expected, else a number naming the step that did not; an alarm
// ends a child that hangs.
int WithStartedSystem(int (*steps)(CSystem& system)) {
  alarm(30);
  CSystem& system = GetSystem();
  if (!system.Start(GetModuleHandleA(nullptr), "")) return 2;
  system.Init();
  const int result = system.IsWatchingPlugIns() ? steps(system) : 3;
  system.Exit();
  return result;
}

// Looks as the main window's tick does, until `done` or five seconds.
template <class Done>
void LookForNewPlugIns(CSystem& system, Done done) {
  for (int look = 0; look < 500 && !done(); ++look) {
    Sleep(10);
    system.LoadNewPlugIns();
  }
}

// A plug-in copied in joins every system.
TWLTEST_CHILD(NewPlugInCopiedIn) {
  return WithStartedSystem([](CSystem& system) {
    const std::string folder = system.GetPlugInsFolder().c_str();
    std::filesystem::copy_file(std::string(TWL_WAV_PLAYER_DIR) + "/TestWavPlayer.dll",
                               folder + "TestWavPlayer.dll");
    LookForNewPlugIns(system, [&system] { return system.GetPlugInManager().GetCount() > 0; });
    if (system.GetPlugInManager().GetCount() != 1) return 4;
    return GetPlayerSystem().GetPlayerCount() == 1 ? 0 : 5;
  });
}

// A file that is no plug-in is looked at; then the folder is removed. Its
// removal reaches the watch a moment later, and every look must come back
// until it has ended the watch. (A folder holding a loaded plug-in may
// not report its own removal at all while the plug-in is mapped, so the
// folder here never held one.)
TWLTEST_CHILD(PlugInsFolderRemoved) {
  return WithStartedSystem([](CSystem& system) {
    const std::string folder = system.GetPlugInsFolder().c_str();
    twltest::WriteFile(folder + "Junk.dll", "no plug-in");
    const std::string log = system.GetLogFileName().c_str();
    LookForNewPlugIns(system, [&log] { return Contains(programtest::ReadText(log), "Junk.dll"); });
    std::filesystem::remove_all(folder);
    LookForNewPlugIns(system, [&system] { return !system.IsWatchingPlugIns(); });
    if (system.IsWatchingPlugIns()) return 6;
    system.LoadNewPlugIns();
    return system.GetPlugInManager().GetCount() == 0 ? 0 : 7;
  });
}

TEST(TwlPlugIns, APlugInCopiedInJoinsEverySystem) {
  const std::string folder = NewChildFolder("newplugin");
  EXPECT_EQ(RunChild(folder, "NewPlugInCopiedIn"), 0);
  const std::string log = programtest::ReadText(folder + "/Log.txt");
  const std::string lines[] = {
      "-------- new plugin(s) detected --------",
      "initializing plugin 'TestWavPlayer.dll'...done",
      "-------- initializing new stream provider --------",
      "-------- initializing new player(s) --------",
      "initializing 'Test WAV player'...done",
      "\r\n-------- finished loading new plugin(s) --------\r\n\r\n",
  };
  size_t from = 0;
  for (const std::string& line : lines) {
    const size_t at = log.find(line, from);
    EXPECT_NE(at, std::string::npos) << "missing or out of order: " << line << "\n" << log;
    if (at != std::string::npos) from = at;
  }
}

TEST(TwlPlugIns, ARemovedPlugInsFolderEndsTheWatchAndTheLooksReturn) {
  const std::string folder = NewChildFolder("plugingone");
  EXPECT_EQ(RunChild(folder, "PlugInsFolderRemoved"), 0);
  const std::string log = programtest::ReadText(folder + "/Log.txt");
  EXPECT_TRUE(Contains(log, "Loading plugin 'Junk.dll'...")) << log;
  EXPECT_FALSE(Contains(log, "finished loading new plugin(s)")) << log;
}

namespace {

// Records the skins the user interface is asked to change to.
class SkinRecorder : public CUserInterfaceLink {
 public:
  bool IsMinimized() override { return false; }
  void MinimizeAll(bool) override {}
  void RestoreAll() override {}
  void ChangeSkin(const char* path) override { changedTo = path; }
  void OnOwnerActivate(bool) override {}
  void OnDisplayChange() override {}
  void OnPaletteChanged(HWND) override {}
  std::string changedTo;
};

}  // namespace

// Answers 0 when every step went as expected, else the step's number.
TWLTEST_CHILD(InstallSkins) {
  CSystem& system = GetSystem();
  system.SetInstance(GetModuleHandleA(nullptr));
  system.InitDirectories();
  const std::string skins = system.GetSkinsFolder().c_str();
  std::filesystem::create_directories(skins + "sub");
  twltest::WriteFile(skins + "sub/Deep.s4u", "deep");
  twltest::WriteFile(skins + "Here.s4u", "here");
  SkinRecorder recorder;
  SetUserInterfaceLink(&recorder);
  // From a subfolder: copied into the Skins folder itself, not activated.
  if (!system.InstallSkin(("file://" + skins + "sub/Deep.s4u").c_str(), false)) return 2;
  if (programtest::ReadText(skins + "Deep.s4u") != "deep" || !recorder.changedTo.empty()) return 3;
  // Already there (named with the other separator and case): no copy, activated.
  std::string here = skins + "Here.s4u";
  for (char& c : here)
    if (c == '/') c = '\\';
  const std::string before = std::to_string(std::filesystem::last_write_time(skins + "Here.s4u").time_since_epoch().count());
  if (!system.InstallSkin(here.c_str(), true)) return 4;
  if (recorder.changedTo != skins + "Here.s4u") return 5;
  if (std::to_string(std::filesystem::last_write_time(skins + "Here.s4u").time_since_epoch().count()) != before) return 6;
  // A file that cannot be copied.
  if (system.InstallSkin("/no/such/Gone.s4u", true)) return 7;
  const std::string error = GetThreadErrorState()->text ? GetThreadErrorState()->text : "";
  if (error != "Error installing skin 'Gone.s4u': Unable to copy the file into the skin directory.") return 8;
  SetUserInterfaceLink(nullptr);
  return 0;
}

TEST(TwlSkins, InstallingCopiesFromASubfolderButNotFromTheSkinsFolderItself) {
  const std::string folder = NewChildFolder("skins");
  EXPECT_EQ(RunChild(folder, "InstallSkins"), 0);
}
