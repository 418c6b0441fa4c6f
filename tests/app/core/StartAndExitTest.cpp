// The second start phase and the shut-down on their own: the systems come
// up in order (seen through -z timing), the desktop gets its record in the
// process's one pair of information databases, the players register their
// proxy types, and Exit lets go of the records' listeners before it frees
// the records and copes with a system that never came up.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "../../playback/support/StubViewerUsers.h"
#include "app/core/System.h"
#include "app/ui/UserInterface.h"
#include "display/window/Window.h"
#include "foundation/kernel/Error.h"
#include "playback/data/DataSystem.h"
#include "playback/playersystem/PlayerSystem.h"
#include "playback/playlist/PlayListFileEntry.h"
#include "pluginhost/fileinfo/InfoDataBases.h"
#include "support/TestPaths.h"
#include "twlwin/testing.h"

namespace {

// A started system writing its log to a file of the test's own.
std::string StartWithLog(CSystem& system, const char* hint) {
  system.SetInstance(GetModuleHandleA(nullptr));
  system.InitDirectories();
  system.ExtractVersion();
  const std::string log = twltest::MakeTempDir(hint) + "/Log.txt";
  system.GetLogFile().SetFileName(log.c_str());
  SetLogFront(&system);
  return log;
}

std::vector<std::string> PerformanceLabels(const std::string& log) {
  std::vector<std::string> labels;
  const std::string mark = "PERFORMANCE: ";
  for (size_t at = log.find(mark); at != std::string::npos; at = log.find(mark, at + 1)) {
    const size_t end = log.find(" = ", at);
    labels.push_back(log.substr(at + mark.size(), end - at - mark.size()));
  }
  return labels;
}

}  // namespace

TEST(SystemInit, StepsRunInOrderAndTheDesktopGetsItsRecord) {
  CSystem system;
  const std::string log = StartWithLog(system, "init");
  system.SetTimingFlag(true);
  system.Init();

  const std::vector<std::string> expected = {"retrieve system info",
                                             "load DirectSound",
                                             "init plugin API",
                                             "init icon manager",
                                             "init folder info database",
                                             "load options",
                                             "init user interface",
                                             "load plugins",
                                             "init data system",
                                             "init file object enumeration system",
                                             "init control window system",
                                             "init visualizer system",
                                             "init file identifier system",
                                             "init player system",
                                             "init file filter system",
                                             "complete start initialization"};
  const std::string text = twltest::ReadFile(log);
  EXPECT_EQ(PerformanceLabels(text), expected) << text;
  EXPECT_NE(text.find("-------- initializing players --------\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("-------- initializing file identifiers --------\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("-------- initializing file filter(s) --------\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("complete start initialization = "), std::string::npos);
  EXPECT_NE(text.find("-------- START INITIALIZATIONS DONE --------\r\n\r\n"), std::string::npos);

  CFolderInfoDataBase* folders = system.GetFolderInfoDataBase();
  ASSERT_NE(folders, nullptr);
  FolderInfoRecord* desktop = folders->Find("virtual://desktop");
  ASSERT_NE(desktop, nullptr);
  ASSERT_TRUE(desktop->displayText.has_value());
  EXPECT_EQ(*desktop->displayText, "Desktop");
  // Icons 109 and 108 come first; the desktop's is the third image.
  EXPECT_EQ(desktop->iconIndex, 2);
  EXPECT_EQ(desktop->openIconIndex, 2);
  EXPECT_NE(system.GetFileInfoDataBase(), nullptr);

  system.Exit();
  EXPECT_EQ(system.GetFolderInfoDataBase(), nullptr);
  EXPECT_EQ(system.GetFileInfoDataBase(), nullptr);
  EXPECT_EQ(GetLogFront(), nullptr) << "the logs are closed";
  EXPECT_FALSE(system.GetLogFile().HasFileName());
}

TEST(SystemExit, SafeWithoutAStartAndTwice) {
  CSystem system;
  system.Exit();
  system.Exit();
  EXPECT_TRUE(system.GetLogFileName().IsEmpty());
  EXPECT_EQ(system.GetPlugInManager().GetCount(), 0);
}

// Without DirectSound or without the program's icons 109 and 108 the start
// cannot go on; DirectSound is asked for before the icons.
TEST(SystemInit, MissingEssentialsEndTheStart) {
  struct Case {
    const char* why;
    bool hideDirectSound;
    bool withModule;
    const char* caption;
    const char* text;
  } cases[] = {
      {"no dsound.dll", true, true, "Fatal error", "Unable to load 'dsound.dll'."},
      {"no program icons", false, false, "Icon error", "Error loading essential icon."},
  };
  for (const Case& c : cases) {
    TwlTestHideSystemLibrary("dsound.dll", c.hideDirectSound ? TRUE : FALSE);
    CSystem system;
    if (c.withModule) system.SetInstance(GetModuleHandleA(nullptr));
    system.InitDirectories();
    std::string caption;
    std::string text;
    try {
      system.Init();
    } catch (CError* error) {
      caption = error->GetCaption().c_str();
      text = error->GetText().c_str();
      DisposeError(error);
    }
    EXPECT_EQ(caption, c.caption) << c.why;
    EXPECT_EQ(text, c.text) << c.why;
    system.Exit();
  }
  TwlTestHideSystemLibrary("dsound.dll", FALSE);
}

// The program's information databases are the process's: the desktop
// record the start makes and the record of a playlist entry the player
// system adds live in the same pair that the plug-in host hands out.
TEST(SystemInit, OnePairOfInformationDataBasesServesTheWholeProgram) {
  CSystem system;
  StartWithLog(system, "databases");
  system.Init();
  ASSERT_EQ(system.GetFileInfoDataBase(), &GetFileInfoDataBase());
  ASSERT_EQ(system.GetFolderInfoDataBase(), &GetFolderInfoDataBase());
  FolderInfoRecord* desktop = GetFolderInfoDataBase().Find("virtual://desktop");
  ASSERT_NE(desktop, nullptr);
  EXPECT_EQ(desktop, system.GetFolderInfoDataBase()->Find("virtual://desktop"));

  CPlayerSystem& players = GetPlayerSystem();
  const char* texts[] = {"/music/one.wav"};
  CPlayListEntry* made[1] = {nullptr};
  ASSERT_EQ(players.AddUrls(nullptr, -1, texts, 1, made), 0);
  auto* entry = dynamic_cast<CPlayListFileEntry*>(made[0]);
  ASSERT_NE(entry, nullptr);
  FileInfoRecord* record = entry->GetFileInfo();
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(system.GetFileInfoDataBase()->Find(record->key), record);
  players.RemoveAllEntries();

  system.Exit();
  EXPECT_EQ(GetFolderInfoDataBase().Find("virtual://desktop"), nullptr) << "Exit freed the records";
  EXPECT_EQ(GetFileInfoDataBase().Find("file:///music/one.wav"), nullptr);
}

// A window showing a record listens to it. Exit frees the records, so every
// listener must have let go of them before: each hears once, while its
// record is still there, that it is detached.
class RecordViewer : public FileObjectListener {
 public:
  void OnFileObjectChanged(FileObjectInfoRecord*, DWORD) override {}
  void OnFileObjectDetached(FileObjectInfoRecord* record) override {
    detached.push_back(record->key);
    stillListed += static_cast<int>(record->listeners.size());
  }
  std::vector<std::string> detached;
  int stillListed = 0;
};

TEST(SystemExit, InformationRecordsLoseTheirListenersBeforeTheyAreFreed) {
  CSystem system;
  StartWithLog(system, "listeners");
  system.Init();
  RecordViewer browser;
  RecordViewer playlist;
  {
    CriticalSectionLock folders(system.GetFolderInfoDataBase()->GetLock());
    AddFileObjectListener(system.GetFolderInfoDataBase()->Find("virtual://desktop"), &browser);
  }
  {
    CFileInfoDataBase& files = *system.GetFileInfoDataBase();
    CriticalSectionLock lock(files.GetLock());
    FileInfoRecord* song = files.Get("file:///music/two.wav");
    AddFileObjectListener(song, &playlist);
    AddFileObjectListener(song, &playlist);  // shown twice
    AddFileObjectListener(song, &browser);
  }

  system.Exit();
  EXPECT_EQ(browser.detached, (std::vector<std::string>{"virtual://desktop", "file:///music/two.wav"}));
  EXPECT_EQ(playlist.detached, std::vector<std::string>{"file:///music/two.wav"});
  EXPECT_EQ(browser.stillListed + playlist.stillListed, 0) << "the lists were empty when they were told";
  EXPECT_EQ(GetFileInfoDataBase().Find("file:///music/two.wav"), nullptr);
}

namespace {

// A main window showing a song: it listens to the song's record and lets
// go of it in PrepareExit. Its Destroy would detach itself from a record it
// still held, which after the records are freed is a use after free.
class SongWindow : public CWindow, public FileObjectListener {
 public:
  explicit SongWindow(FileInfoRecord* song) : m_Song(song) { AddFileObjectListener(song, this); }
  void PrepareExit() override {
    songAliveWhenPrepared = m_Song && GetFileInfoDataBase().Find("file:///music/three.wav") == m_Song;
    if (m_Song) RemoveFileObjectListener(m_Song, this);
    m_Song = nullptr;
  }
  void Destroy() override {
    if (m_Song) RemoveFileObjectListener(m_Song, this);
    destroyed = true;
    CWindow::Destroy();
  }
  void OnFileObjectChanged(FileObjectInfoRecord*, DWORD) override {}
  void OnFileObjectDetached(FileObjectInfoRecord*) override { m_Song = nullptr; }
  inline static bool songAliveWhenPrepared = false;
  inline static bool destroyed = false;

 private:
  FileInfoRecord* m_Song;
};

}  // namespace

TEST(SystemExit, MainWindowsLetGoOfTheRecordsBeforeTheyAreFreedAndAreDestroyedAfter) {
  CSystem system;
  StartWithLog(system, "windows");
  system.Init();
  FileInfoRecord* song = nullptr;
  {
    CFileInfoDataBase& files = *system.GetFileInfoDataBase();
    CriticalSectionLock lock(files.GetLock());
    song = files.Get("file:///music/three.wav");
  }
  GetUserInterface().SetMainWindow(1, new SongWindow(song));
  EXPECT_EQ(GetUserInterfaceLink(), &GetUserInterface()) << "commands reach the user interface once it is up";
  system.Exit();
  EXPECT_EQ(GetUserInterfaceLink(), nullptr);
  EXPECT_TRUE(SongWindow::songAliveWhenPrepared);
  EXPECT_TRUE(SongWindow::destroyed) << "the user interface deletes its windows after the records went";
  EXPECT_EQ(GetUserInterface().GetMainWindow(1), nullptr);
  EXPECT_EQ(GetFileInfoDataBase().Find("file:///music/three.wav"), nullptr);
}

// The desktop record tells its listeners of each field the start changed,
// once per field: name 2, icon 4, open icon 64.
class ChangeRecorder : public FileObjectListener {
 public:
  void OnFileObjectChanged(FileObjectInfoRecord*, DWORD changes) override { heard.push_back(changes); }
  std::vector<DWORD> heard;
};

TEST(SystemInit, TheDesktopRecordTellsEachChangedFieldOnce) {
  struct Case {
    const char* why;
    const char* name;  // null: none yet
    INT icon;
    INT openIcon;
    std::vector<DWORD> heard;
  } cases[] = {
      {"a new record", nullptr, 0, 0, {2, 4, 64}},
      {"a record that has all three", "Desktop", 2, 2, {}},
      {"only the open icon differs", "Desktop", 2, 5, {64}},
      {"another name", "Schreibtisch", 2, 2, {2}},
  };
  for (const Case& c : cases) {
    ChangeRecorder listener;
    {
      CFolderInfoDataBase& folders = GetFolderInfoDataBase();
      CriticalSectionLock lock(folders.GetLock());
      FolderInfoRecord* desktop = folders.Get("virtual://desktop");
      SetFileObjectString(desktop->displayText, c.name);
      desktop->iconIndex = c.icon;
      desktop->openIconIndex = c.openIcon;
      AddFileObjectListener(desktop, &listener);
    }
    CSystem system;
    StartWithLog(system, "desktop");
    system.Init();
    EXPECT_EQ(listener.heard, c.heard) << c.why;
    system.Exit();
  }
}

// The data system's proxy start-up asks the player system's players for
// their proxy types before it reads the stored settings.
class ProxyPlayer : public playbacktest::StubPlayer {
 public:
  ProxyPlayer() : StubPlayer("Proxy") {}

  bool RegisterProxyTypes(CProxyDataBase& proxies) override {
    return proxies.RegisterProxyType("rtsp", "RTSP proxy", 554);
  }
  bool Play(const char*) override { return false; }
};

TEST(SystemInit, ThePlayersRegisterTheirProxyTypes) {
  CSystem system;
  StartWithLog(system, "proxies");
  GetPlayerSystem().AddPlayer(new ProxyPlayer);
  system.Init();
  CProxyDataBase& proxies = GetDataSystem().GetProxyDataBase();
  CriticalSectionLock lock(proxies.GetLock());
  CProxyInfo* rtsp = proxies.Find("rtsp");
  ASSERT_NE(rtsp, nullptr);
  EXPECT_NE(rtsp->FindType("RTSP proxy"), nullptr);
  lock.Leave();
  system.Exit();
  EXPECT_EQ(GetPlayerSystem().GetPlayerCount(), 0) << "Exit took the player system down";
}
