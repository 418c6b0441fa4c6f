// A player that takes its file for itself while the identifier reads it:
// the player waits until the identifier lets go, the identification is
// broken off and comes back when the current player changes. Runs under
// ThreadSanitizer with the worker, the player's thread and the plug-in's
// reads through the identifier's session slot all at work.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "ScriptedIdentifier.h"
#include "StubViewerUsers.h"
#include "playback/data/DataSystem.h"
#include "playback/playersystem/PlayerSystem.h"
#include "pluginhost/fileinfo/FolderInfoDataBase.h"
#include "pluginhost/fileinfo/InfoDataBases.h"
#include "pluginhost/identifiers/FileIdentifierSystem.h"
#include "pluginhost/plugins/PlugInLoader.h"
#include "support/RecordingLogFront.h"
#include "support/TestPaths.h"

namespace {

using identifiertest::ScriptedIdentifier;

constexpr DWORD kIdleLimit = 120000;

// Plays nothing, but asks for the right to take its files exclusively.
class ExclusivePlayer : public playbacktest::StubPlayer {
 public:
  ExclusivePlayer() : StubPlayer("Exclusive") {}
  void CanPlay(const char*, CanPlayAnswer& answer) override { answer = CanPlayAnswer{0, 1, 1, 0, 1, 0, 0, 192}; }
};

// The player's side of the program's data system: a file taken
// exclusively closes every session slot bound to it.
class DataSystemSessions : public CPlayerSessions {
 public:
  void ReleaseSessionsOnUrl(const char* url) override { GetDataSystem().ReleaseSessionsOnUrl(url); }
};

class ExclusiveAccessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    loader.LoadPlugIns(TWL_IDENTIFY_PLUGIN_DIR);
    // The scripted identifier first, so the worker can be held on a file
    // before the test plug-in's identifiers read it.
    identifiers.Init(nullptr, files);
    gate = new ScriptedIdentifier("gate", files, 0, 0);
    identifiers.AddIdentifier(gate);
    identifiers.InitNewPlugIns(loader.GetManager(), 0);
    players.SetSessions(&sessions);
    players.SetFileIdentifier(&identifiers);
    players.SetLoadLastPlayList(false);
    players.SetLastPlayListFolder("");
    players.Init(nullptr);
    players.AddPlayer(player = new ExclusivePlayer);
  }
  void TearDown() override {
    players.Exit();
    identifiers.Exit();
    loader.UnloadPlugIns();
  }

  // Files of a few MiB each, so that reading one takes a while.
  std::vector<std::string> AddFiles(int count) {
    const std::string dir = twltest::MakeTempDir("media");
    std::vector<std::string> paths;
    for (int i = 0; i < count; ++i) {
      paths.push_back(dir + "/f" + std::to_string(i) + ".bin");
      twltest::WriteFile(paths.back(), std::string((3u << 20) + static_cast<unsigned>(i), 'm'));
    }
    std::vector<const char*> texts;
    for (const auto& path : paths) texts.push_back(path.c_str());
    players.AddUrls(nullptr, -1, texts.data(), static_cast<INT>(texts.size()));
    std::vector<std::string> urls;
    for (const auto& path : paths) urls.push_back("file://" + path);
    return urls;
  }
  bool IsHeld(const std::string& url) {
    CriticalSectionLock lock(files.GetLock());
    return identifiers.IsHeld(files.Get(url.c_str()));
  }
  bool IsIdentified(const std::string& url) {
    CriticalSectionLock lock(files.GetLock());
    return files.Get(url.c_str())->IsIdentified();
  }

  twltest::RecordingLogFront log;
  CPlugInLoader loader;
  CFileInfoDataBase& files = GetFileInfoDataBase();
  CFolderInfoDataBase folders;
  CFileIdentifierSystem identifiers;
  DataSystemSessions sessions;
  CPlayerSystem players{files, folders};
  ScriptedIdentifier* gate = nullptr;
  ExclusivePlayer* player = nullptr;
};

TEST_F(ExclusiveAccessTest, ThePlayerWaitsForTheIdentifierAndTheFileIsIdentifiedAfterThePlayerChanges) {
  const std::vector<std::string> urls = AddFiles(4);
  ASSERT_TRUE(identifiers.WaitUntilIdle(kIdleLimit));
  for (const auto& url : urls) EXPECT_TRUE(IsIdentified(url)) << url;

  // A fifth file, held inside the first identifier while the player asks.
  gate->HoldAt("file://" + twltest::SandboxDir() + "/later.bin");
  twltest::WriteFile(twltest::SandboxDir() + "/later.bin", std::string(5u << 20, 'l'));
  const std::string later = "file://" + twltest::SandboxDir() + "/later.bin";
  const char* text = later.c_str() + 7;
  players.AddUrls(nullptr, -1, &text, 1);
  ASSERT_TRUE(gate->WaitUntilHeld());
  ASSERT_TRUE(players.Play(true));
  std::atomic<bool> granted{false};
  std::thread playerThread([&] { granted = players.GetExclusiveFileAccess(later.c_str(), player); });
  while (!IsHeld(later)) std::this_thread::yield();
  EXPECT_FALSE(granted) << "not while the identifier has the file";
  gate->Release();
  playerThread.join();
  EXPECT_TRUE(granted);
  ASSERT_TRUE(identifiers.WaitUntilIdle(kIdleLimit));
  EXPECT_FALSE(IsIdentified(later)) << "broken off before the test plug-in read it";

  // The current player changes: the file is identified after all.
  players.Stop(true);
  ASSERT_TRUE(identifiers.WaitUntilIdle(kIdleLimit));
  EXPECT_TRUE(IsIdentified(later));
}

// The player grabs whatever the identifier reads, over and over, while the
// plug-in's reads run through the identifier's slot; every file is
// identified in the end.
TEST_F(ExclusiveAccessTest, APlayerTakingFilesOverAndOverLosesNoIdentification) {
  const std::vector<std::string> urls = AddFiles(6);
  ASSERT_TRUE(players.Play(true));
  std::atomic<bool> done{false};
  std::thread playerThread([&] {
    while (!done) {
      FileInfoRecord* current = identifiers.GetCurrentObject();
      if (current) players.GetExclusiveFileAccess(current->key, player);
    }
  });
  ASSERT_TRUE(identifiers.WaitUntilIdle(kIdleLimit));
  done = true;
  playerThread.join();
  players.Stop(true);
  ASSERT_TRUE(identifiers.WaitUntilIdle(kIdleLimit));
  for (const auto& url : urls) EXPECT_TRUE(IsIdentified(url)) << url;
}

}  // namespace
