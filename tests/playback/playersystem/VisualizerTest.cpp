// The visualizer system with test visualizers and a test viewer: which
// visualizer is current, when it is prepared, paused and fed, and the
// player system's reports reaching it; the data sampler that never
// captures.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "../support/StubViewerUsers.h"
#include "PlayerSystemFixture.h"
#include "foundation/appcore/RegistryValues.h"
#include "foundation/appcore/SettingsKey.h"
#include "foundation/errors/ThreadErrorState.h"
#include "playback/playersystem/VisualizerPlayback.h"
#include "playback/visualizer/Visualizer.h"
#include "playback/visualizer/VisualizerDataSampler.h"
#include "playback/visualizer/VisualizerSystem.h"

namespace playertest {
namespace {

// What the visualizers were asked, in order, from any thread.
class Events {
 public:
  void Add(const std::string& event) {
    std::lock_guard guard(m_Lock);
    m_Events.push_back(event);
  }
  std::vector<std::string> Take() {
    std::lock_guard guard(m_Lock);
    std::vector<std::string> taken;
    taken.swap(m_Events);
    return taken;
  }

 private:
  std::mutex m_Lock;
  std::vector<std::string> m_Events;
};

class TestVisualizer : public playbacktest::StubViewerUser<CVisualizer> {
 public:
  TestVisualizer(std::string name, std::string key, Events& events)
      : StubViewerUser(std::move(name)), m_Key(std::move(key)), m_Events(events) {}
  ~TestVisualizer() override { m_Events.Add("delete " + Name()); }

  bool prepareResult = true;
  bool unprepareResult = true;
  bool restoreResult = true;
  int feedAnswer = 7;
  // While set, Feed waits until it is cleared.
  std::atomic<bool> holdFeed{false};
  std::atomic<bool> feeding{false};

  void BeginSkinChange() override { m_Events.Add("begin skin " + Name()); }
  void EndSkinChange() override { m_Events.Add("end skin " + Name()); }
  bool RestoreSurfaces() override { return Answer(restoreResult, "restore"); }
  bool Prepare() override { return Answer(prepareResult, "prepare"); }
  bool Unprepare() override { return Answer(unprepareResult, "unprepare"); }
  bool Pause() override { return Answer(true, "pause"); }
  bool Resume() override { return Answer(true, "resume"); }
  bool Stop() override { return Answer(true, "stop"); }
  void OnPlayerEvent(DWORD, DWORD) override {}
  int Feed(const void*, DWORD bytes, DWORD, DWORD, DWORD, DWORD) override {
    feeding = true;
    while (holdFeed) std::this_thread::yield();
    m_Events.Add("feed " + Name() + " " + std::to_string(bytes));
    feeding = false;
    return feedAnswer;
  }
  const char* GetKey() override { return m_Key.c_str(); }
  const char* GetPlugInName() override { return GetName(); }

 private:
  bool Answer(bool result, const std::string& what) {
    m_Events.Add(what + " " + Name());
    if (!result) SetThreadError(THREAD_ERROR_GENERAL, 0, (what + " failed").c_str());
    return result;
  }

  std::string m_Key;
  Events& m_Events;
};

// Shows one mode's user; the test chooses which mode is on screen.
class TestViewer : public CViewerWindowSystem {
 public:
  void EnableUser(DWORD mode) override { Note("enable " + std::to_string(mode)); }
  void SetUser(DWORD mode, CControlWindowUser* user) override {
    std::lock_guard guard(m_Lock);
    m_Users[mode] = user;
  }
  void DisableUser(DWORD mode) override { Note("disable " + std::to_string(mode)); }
  CControlWindowUser* GetCurrentUser() override {
    std::lock_guard guard(m_Lock);
    return m_Users[shown];
  }
  CControlWindowUser* UserOf(DWORD mode) {
    std::lock_guard guard(m_Lock);
    return m_Users[mode];
  }
  std::atomic<DWORD> shown{kVisualizerMode};
  std::vector<std::string> calls;

 private:
  void Note(const std::string& call) {
    std::lock_guard guard(m_Lock);
    calls.push_back(call);
  }
  std::mutex m_Lock;
  CControlWindowUser* m_Users[3] = {};
};

std::string StoredKey() {
  HKEY key = nullptr;
  if (!OpenSettingsKey(KEY_QUERY_VALUE, &key)) return "<none>";
  CStr text;
  const bool found = GetRegistryString(key, "CurrentVisualizer", text);
  RegCloseKey(key);
  return found ? text.c_str() : "<none>";
}

void StoreKey(const char* text) {
  HKEY key = nullptr;
  ASSERT_TRUE(OpenSettingsKey(KEY_SET_VALUE, &key));
  ASSERT_TRUE(SetRegistryString(key, "CurrentVisualizer", text));
  RegCloseKey(key);
}

class VisualizerSystemTest : public ::testing::Test {
 protected:
  void SetUp() override { visualizers.SetViewer(&viewer); }
  void TearDown() override { visualizers.Exit(); }

  TestVisualizer* Add(const std::string& name, const std::string& key) {
    auto* visualizer = new TestVisualizer(name, key, events);
    visualizers.AddVisualizer(visualizer);
    return visualizer;
  }
  void Start(const std::vector<std::pair<std::string, std::string>>& namesAndKeys) {
    for (const auto& [name, key] : namesAndKeys) Add(name, key);
    visualizers.LoadOptions();
    visualizers.Init(nullptr);
    events.Take();
  }
  int Feed() { return visualizers.FeedVisualizer("pcm", 3, 0, 44100, 16, 2); }

  twltest::RecordingLogFront log;
  Events events;
  TestViewer viewer;
  CVisualizerSystem visualizers;
};

TEST_F(VisualizerSystemTest, ASavedKeyThatDiffersInCaseSelectsItsVisualizer) {
  StoreKey("spectra<BARS>");
  Start({{"Scope", "Spectra<Scope>"}, {"Bars", "Spectra<bars>"}});
  EXPECT_EQ(visualizers.GetCurrentVisualizerIndex(), 1);
  EXPECT_EQ(viewer.UserOf(CViewerWindowSystem::kVisualizerMode), visualizers.GetVisualizer(1));
  EXPECT_EQ(StoredKey(), "spectra<BARS>") << "a match saves nothing";
  EXPECT_EQ(log.Text(), "-------- initializing visualizers --------\n");
}

TEST_F(VisualizerSystemTest, AKeyOfNoVisualizerIsReplacedByTheFirstAndSaved) {
  StoreKey("Gone<1>");
  Start({{"Scope", "Spectra<Scope>"}, {"Bars", "Spectra<bars>"}});
  EXPECT_EQ(visualizers.GetCurrentVisualizerIndex(), 0);
  EXPECT_NE(log.Text().find("Unable to find selected visualizer 'Gone<1>'\n"), std::string::npos);
  EXPECT_EQ(StoredKey(), "Spectra<Scope>");
}

TEST_F(VisualizerSystemTest, WithoutVisualizersNothingIsCurrentNothingSavedAndReportsDoNothing) {
  Start({});
  EXPECT_EQ(visualizers.GetCurrentVisualizerIndex(), -1);
  EXPECT_EQ(visualizers.GetCurrentVisualizer(), nullptr);
  visualizers.StartPlayback();
  visualizers.PauseVisualizer();
  visualizers.ResumeVisualizer();
  visualizers.StopVisualizer();
  EXPECT_EQ(Feed(), 0);
  visualizers.EndPlayback();
  visualizers.Exit();
  EXPECT_EQ(StoredKey(), "<none>");
}

TEST_F(VisualizerSystemTest, SwitchingWhilePlayingAndPausedPreparesAndPausesTheNewOne) {
  Start({{"Scope", "S<1>"}, {"Bars", "S<2>"}});
  visualizers.StartPlayback();
  visualizers.PauseVisualizer();
  EXPECT_EQ(events.Take(), (std::vector<std::string>{"prepare Scope", "pause Scope"}));

  visualizers.SetCurrentVisualizer(1, true);
  EXPECT_EQ(events.Take(), (std::vector<std::string>{"unprepare Scope", "prepare Bars", "pause Bars"}));
  EXPECT_EQ(StoredKey(), "S<2>");

  // Stopped, a choice only makes the visualizer the viewer's user.
  visualizers.EndPlayback();
  EXPECT_EQ(events.Take(), std::vector<std::string>{"unprepare Bars"});
  visualizers.SetCurrentVisualizer(0, false);
  EXPECT_TRUE(events.Take().empty());
  EXPECT_EQ(viewer.UserOf(CViewerWindowSystem::kVisualizerMode), visualizers.GetVisualizer(0));
  EXPECT_EQ(StoredKey(), "S<2>") << "not saved when not asked";
}

TEST_F(VisualizerSystemTest, OnlyAPreparedVisualizerThatTheViewerShowsIsFed) {
  Start({{"Scope", "S<1>"}});
  EXPECT_EQ(Feed(), 0) << "not prepared before playback";
  visualizers.StartPlayback();
  EXPECT_EQ(Feed(), 7);
  viewer.shown = CViewerWindowSystem::kPlayerMode;  // the player's video instead
  EXPECT_EQ(Feed(), 0);
  visualizers.PauseVisualizer();
  EXPECT_EQ(events.Take(), (std::vector<std::string>{"prepare Scope", "feed Scope 3"}));

  // The viewer hides the visualizer and shows it again while paused.
  visualizers.SetVisualizerVisible(false);
  viewer.shown = CViewerWindowSystem::kVisualizerMode;
  visualizers.SetVisualizerVisible(true);
  EXPECT_EQ(events.Take(), (std::vector<std::string>{"unprepare Scope", "prepare Scope", "pause Scope"}));
}

TEST_F(VisualizerSystemTest, ExitUnpreparesThePreparedVisualizerBeforeDeletingAll) {
  StoreKey("S<1>");
  Start({{"Scope", "S<1>"}, {"Bars", "S<2>"}});
  visualizers.StartPlayback();
  events.Take();
  visualizers.Exit();
  EXPECT_EQ(events.Take(), (std::vector<std::string>{"unprepare Scope", "delete Bars", "delete Scope"}));
  EXPECT_EQ(visualizers.GetVisualizerCount(), 0);
  EXPECT_EQ(StoredKey(), "S<1>") << "Exit saves nothing";
}

TEST_F(VisualizerSystemTest, FailuresAreLoggedAndLeaveTheVisualizerUnprepared) {
  Start({{"Scope", "S<1>"}, {"Bars", "S<2>"}});
  auto* scope = static_cast<TestVisualizer*>(visualizers.GetVisualizer(0));
  auto* bars = static_cast<TestVisualizer*>(visualizers.GetVisualizer(1));
  scope->prepareResult = false;
  log.Clear();
  visualizers.StartPlayback();
  EXPECT_EQ(Feed(), 0) << "a failed prepare leaves it unprepared";
  const auto entries = log.Entries();
  ASSERT_FALSE(entries.empty());
  EXPECT_EQ(entries.back().category, 0x100u);
  EXPECT_NE(entries.back().text.find("Error preparing visualizer"), std::string::npos) << entries.back().text;
  EXPECT_NE(entries.back().text.find("prepare failed"), std::string::npos) << entries.back().text;

  visualizers.SetCurrentVisualizer(1, false);
  bars->unprepareResult = false;
  log.Clear();
  visualizers.EndPlayback();
  EXPECT_NE(log.Text().find("Error unpreparing visualizer"), std::string::npos) << log.Text();

  bars->restoreResult = false;
  log.Clear();
  EXPECT_FALSE(visualizers.RestoreSurfaces());
  const auto restore = log.Entries();
  ASSERT_EQ(restore.size(), 2u);
  EXPECT_EQ(restore[0].text, "**** restoring visualizer surfaces ****\n");
  EXPECT_EQ(restore[1].category, 0x400u);
  EXPECT_NE(restore[1].text.find("Bars"), std::string::npos);
  events.Take();
  visualizers.BeginSkinChange();
  visualizers.EndSkinChange();
  EXPECT_EQ(events.Take(), (std::vector<std::string>{"begin skin Scope", "begin skin Bars", "end skin Scope",
                                                     "end skin Bars"}));
}

// A player's thread may be inside Feed when the program exits: the
// visualizer is unprepared, but deleted only after Feed returned.
TEST_F(VisualizerSystemTest, ExitWaitsForAFeedInProgressBeforeDeleting) {
  Start({{"Scope", "S<1>"}});
  auto* scope = static_cast<TestVisualizer*>(visualizers.GetVisualizer(0));
  visualizers.StartPlayback();
  scope->holdFeed = true;
  std::thread player([&] { Feed(); });
  while (!scope->feeding) std::this_thread::yield();
  std::atomic<bool> exited{false};
  std::thread exiting([&] {
    visualizers.Exit();
    exited = true;
  });
  for (int i = 0; i < 50 && !exited; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  EXPECT_FALSE(exited) << "Exit must wait for the Feed";
  scope->holdFeed = false;
  player.join();
  exiting.join();
  const auto seen = events.Take();
  ASSERT_EQ(seen.size(), 4u);
  EXPECT_EQ(seen.back(), "delete Scope") << "deleted after the feed";
}

TEST_F(PlayerSystemTest, ThePlayerSystemPreparesFeedsPausesAndUnpreparesTheVisualizer) {
  Events events;
  TestViewer viewer;
  CVisualizerSystem visualizers;
  visualizers.SetViewer(&viewer);
  visualizers.AddVisualizer(new TestVisualizer("Scope", "S<1>", events));
  visualizers.Init(nullptr);
  CVisualizerPlayback playback(visualizers);
  system.Exit();
  system.SetVisualizers(&playback);
  system.Init(nullptr);
  TestPlayer* player = AddPlayer("Only");
  TestPlayer* other = AddPlayer("Other", CanPlayAnswer{});
  AddFiles({"a"});
  events.Take();

  ASSERT_TRUE(system.Play(true));
  EXPECT_TRUE(system.FeedVisualization("pcm", 3, 0, 44100, 16, 2, player));
  EXPECT_FALSE(system.FeedVisualization("pcm", 3, 0, 44100, 16, 2, other)) << "only the current player feeds";
  system.PauseVisualization(player);
  system.ResumeVisualization(player);
  EXPECT_FALSE(playback.IsSamplerCapturing());
  system.Stop(true);
  EXPECT_EQ(events.Take(), (std::vector<std::string>{"prepare Scope", "feed Scope 3", "pause Scope", "resume Scope",
                                                     "unprepare Scope"}));
  EXPECT_FALSE(system.FeedVisualization("pcm", 3, 0, 44100, 16, 2, player));
  system.Exit();
  system.SetVisualizers(nullptr);
  system.Init(nullptr);
  visualizers.Exit();
}

TEST(VisualizerDataSampler, NeverCapturesAndReportsWhatTheClosedDeviceSays) {
  CVisualizerDataSampler sampler;
  ASSERT_TRUE(sampler.Init());
  EXPECT_FALSE(sampler.IsCapturing());
  EXPECT_TRUE(sampler.Resume()) << "not paused: nothing to resume";
  EXPECT_FALSE(sampler.Pause());
  EXPECT_FALSE(sampler.IsPaused());
  const ThreadErrorState* error = GetThreadErrorState();
  EXPECT_EQ(error->type, static_cast<DWORD>(THREAD_ERROR_GENERAL));
  EXPECT_EQ(error->code, 0u);
  EXPECT_STREQ(error->text, "unknown WaveIn error");
  sampler.Stop();
  EXPECT_FALSE(sampler.IsPaused());
  sampler.Exit();
  sampler.Exit();
}

}  // namespace
}  // namespace playertest
