// The player preferences applied to a file's candidates, and the last
// playlist loaded by Init and saved by Exit.
#include <gtest/gtest.h>

#include "PlayerSystemFixture.h"
#include "playback/playlist/PlayListFileEntry.h"
#include "support/TestPaths.h"

namespace playertest {
namespace {

// Every player refuses, so the log lists the candidates in the order they
// were tried. Their answers alone put them in the order R, P, Q.
TEST_F(PlayerSystemTest, PreferredPlayersMoveToTheFrontTheLastAddedFirst) {
  const struct {
    const char* name;
    DWORD priority;
  } players[] = {{"R", 250}, {"P", 200}, {"Q", 150}};
  for (const auto& player : players) AddPlayer(player.name, Willing(player.priority))->playResult = false;
  const char* url = "/m/X.MP3";
  system.AddUrls(nullptr, -1, &url, 1);
  EXPECT_FALSE(system.Play(false));
  EXPECT_NE(log.Text().find("R - refused\nP - refused\nQ - refused\n"), std::string::npos) << log.Text();

  CObjectPreference* mp3 = system.GetPlayerPreferences().Add("*.mp3");
  mp3->AddKey("p");  // players are found by key without case
  mp3->AddKey("Q");
  mp3->AddKey("Gone");  // no such player
  system.GetPlayerPreferences().Add("*")->AddKey("R");  // only the first matching record counts
  log.Clear();
  EXPECT_FALSE(system.Play(false));
  EXPECT_NE(log.Text().find("Q - refused\nP - refused\nR - refused\n"), std::string::npos) << log.Text();
}

TEST_F(PlayerSystemTest, APreferenceMatchesOnlyTheURLItsPatternCovers) {
  const struct {
    const char* why;
    const char* pattern;
    bool reorders;
  } rows[] = {
      {"an extension pattern matches", "*.mp3", true},
      {"the extension alone matches no longer URL", "mp3", false},
      {"? takes one character", "*.mp?", true},
      {"a pattern for another type", "*.ogg", false},
  };
  TestPlayer* first = AddPlayer("First");
  TestPlayer* second = AddPlayer("Second");
  first->playResult = false;
  second->playResult = false;
  AddFiles({"a"});
  for (const auto& row : rows) {
    SCOPED_TRACE(row.why);
    system.GetPlayerPreferences().RemoveAll();
    system.GetPlayerPreferences().Add(row.pattern)->AddKey("Second");
    log.Clear();
    system.Play(false);
    const std::string expected = row.reorders ? "Second - refused\nFirst - refused\n" : "First - refused\nSecond - refused\n";
    EXPECT_NE(log.Text().find(expected), std::string::npos) << log.Text();
  }
}

TEST(ObjectPreferenceManager, TheFirstMatchingRecordWinsAndKeysCompareWithCase) {
  CObjectPreferenceManager manager;
  CObjectPreference* first = manager.Add("*.MP3");
  CObjectPreference* second = manager.Add("*");
  first->AddKey("Player<1>");
  EXPECT_EQ(manager.Find("file:///m/a.mp3"), first);
  EXPECT_EQ(manager.Find("file:///m/a.ogg"), second);
  EXPECT_EQ(manager.GetCount(), 2);
  EXPECT_EQ(first->Find("Player<1>"), 0);
  EXPECT_EQ(first->Find("player<1>"), -1);
  EXPECT_EQ(first->GetName(0), "Player<1>");
  EXPECT_EQ(first->GetName(1), "");
  manager.RemoveAll();
  EXPECT_EQ(manager.Find("file:///m/a.mp3"), nullptr);
}

class LastPlayListTest : public PlayerSystemTest {
 protected:
  void SetUp() override {
    folder = twltest::MakeTempDir("program") + "/";
    PlayerSystemTest::SetUp();
  }
  // A second system, as the next run of the program.
  struct Run {
    explicit Run(const std::string& folder) { system.SetLastPlayListFolder(folder.c_str()); }
    CFileInfoDataBase files;
    CFolderInfoDataBase folders;
    CPlayerSystem system{files, folders};
  };
  std::vector<std::string> Urls(CPlayerSystem& of) {
    std::vector<std::string> urls;
    for (INT i = 0; i < of.GetPlayList().GetCount(); ++i) urls.push_back(of.GetPlayList().GetEntry(i)->GetURL());
    return urls;
  }
  std::string folder;
};

TEST_F(LastPlayListTest, ThePlaylistOfOneRunComesBackInTheNext) {
  {
    Run first(folder);
    first.system.Init(nullptr);
    const char* texts[] = {"/x/a.wav", "/x/b.wav"};
    first.system.AddUrls(nullptr, -1, texts, 2);
    first.system.SetLoop(true);
    log.Clear();
    first.system.Exit();
    EXPECT_EQ(log.Text(), "saving last playlist...done\n");
  }
  Run second(folder);
  log.Clear();
  second.system.Init(nullptr);
  EXPECT_EQ(log.Text(), "-------- initializing players --------\nloading last playlist...done\n");
  EXPECT_EQ(Urls(second.system), (std::vector<std::string>{"file:///x/a.wav", "file:///x/b.wav"}));
  EXPECT_TRUE(second.system.GetLoop());
  EXPECT_EQ(second.system.GetPlayList().GetName(), "") << "the last playlist has no name of its own";
  EXPECT_EQ(second.system.GetCurrentEntryNumber(), 0);
  second.system.SetLastPlayListFolder("");
  second.system.Exit();
}

TEST_F(LastPlayListTest, AMissingOrBrokenFileLeavesTheListEmpty) {
  Run missing(folder);
  log.Clear();
  missing.system.Init(nullptr);
  const auto entries = log.Entries();
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[1].text, "loading last playlist...");
  EXPECT_EQ(entries[2].text, "file doesn't exist\n");
  EXPECT_EQ(entries[2].category, 0u);
  missing.system.SetLastPlayListFolder("");
  missing.system.Exit();

  const std::string unreadable = "not a playlist at all, but long enough to be read";
  twltest::WriteFile(folder + "LastPlayList.p4u", unreadable);
  Run broken(folder);
  log.Clear();
  broken.system.Init(nullptr);
  const auto logged = log.Entries();
  ASSERT_EQ(logged.size(), 4u);
  EXPECT_EQ(logged[2].category, 0x100u);
  EXPECT_EQ(logged[2].text, "PlayList Error : The file is not a valid playlist\n");
  EXPECT_EQ(logged[3].category, 0u);
  EXPECT_EQ(logged[3].text, "the unread file was kept as " + folder + "LastPlayList.p4u.bad\n");
  EXPECT_EQ(twltest::ReadFile(folder + "LastPlayList.p4u.bad"), unreadable) << "kept before the exit saves";
  EXPECT_EQ(broken.system.GetPlayList().GetCount(), 0);
  broken.system.SetLastPlayListFolder("");
  broken.system.Exit();
}

TEST_F(LastPlayListTest, ACommandLineWithFilesLeavesTheFileUnreadAndOverwritesItAtExit) {
  {
    Run first(folder);
    first.system.Init(nullptr);
    const char* old = "/x/old.wav";
    first.system.AddUrls(nullptr, -1, &old, 1);
    first.system.Exit();
  }
  Run second(folder);
  second.system.SetLoadLastPlayList(false);
  log.Clear();
  second.system.Init(nullptr);
  EXPECT_EQ(log.Text().find("loading last playlist"), std::string::npos);
  EXPECT_EQ(second.system.GetPlayList().GetCount(), 0);
  const char* given = "/x/new.wav";
  second.system.AddUrls(nullptr, -1, &given, 1);
  second.system.Exit();

  Run third(folder);
  third.system.Init(nullptr);
  EXPECT_EQ(Urls(third.system), std::vector<std::string>{"file:///x/new.wav"});
  third.system.SetLastPlayListFolder("");
  third.system.Exit();
}

}  // namespace
}  // namespace playertest
