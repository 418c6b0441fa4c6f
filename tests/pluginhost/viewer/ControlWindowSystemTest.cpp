// Who holds the viewer, in process: the events users get at mode and user
// changes, suspension, the player's takeover and the override, the
// settings of the main window kind not shown, the generation's wrap, and
// the window height arithmetic, which must survive any skin.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "pluginhost/viewer/ControlWindowHost.h"
#include "pluginhost/viewer/ControlWindowSystem.h"
#include "pluginhost/viewer/ControlWindowUser.h"
#include "pluginhost/viewer/ViewerGeometry.h"
#include "support/StubConfigurableObject.h"

namespace {

std::vector<std::string> g_ViewerEvents;

class RecordingUser : public twltest::StubConfigurableObject<CControlWindowUser> {
 public:
  explicit RecordingUser(int slot) : StubConfigurableObject("user"), m_Slot(slot) {}
  int OnViewerEvent(DWORD event, uintptr_t argument, uintptr_t data) override {
    g_ViewerEvents.push_back("event " + std::to_string(m_Slot) + " " + std::to_string(event) + " " +
                             std::to_string(argument) + " " + std::to_string(data));
    return 1;
  }
  bool SetDisplayMode(int mode) override {
    g_ViewerEvents.push_back("display " + std::to_string(m_Slot) + " " + std::to_string(mode));
    return true;
  }
  void BeginSkinChange() override {}
  void EndSkinChange() override {}
  bool RestoreSurfaces() override { return true; }

 private:
  int m_Slot;
};

class ChangingKindHost : public CControlWindowHost {
 public:
  ChangingKindHost() { SetControlWindowHost(this); }
  ~ChangingKindHost() override { SetControlWindowHost(nullptr); }
  int GetMainWindowKind() override { return kind; }
  void PostNewGeneration() override { ++generations; }
  int kind = 0;
  int generations = 0;
};

// A system with its settings at their defaults (mode 2, override on), a
// player in slot 1 and a visualizer in slot 2, both enabled.
class ControlWindowSystemTest : public ::testing::Test {
 protected:
  void SetUp() override {
    system_.LoadSettings();
    system_.SetUser(CControlWindowSystem::kModePlayers, &player_);
    system_.SetUser(CControlWindowSystem::kModeVisualizers, &visualizer_);
    system_.EnableUser(CControlWindowSystem::kModePlayers);
    system_.EnableUser(CControlWindowSystem::kModeVisualizers);
    g_ViewerEvents.clear();
  }
  void TearDown() override {
    system_.SetUser(CControlWindowSystem::kModePlayers, nullptr);
    system_.SetUser(CControlWindowSystem::kModeVisualizers, nullptr);
  }
  std::vector<std::string> TakeEvents() {
    std::vector<std::string> events;
    events.swap(g_ViewerEvents);
    return events;
  }

  ChangingKindHost host_;
  CControlWindowSystem system_;
  RecordingUser player_{1};
  RecordingUser visualizer_{2};
};

using Events = std::vector<std::string>;

TEST_F(ControlWindowSystemTest, ModeChangesTellTheOldUserTheNewUserAndThePlayerHeldElsewhere) {
  struct Step {
    int mode;
    Events events;
    const char* why;
  };
  const Step steps[] = {
      {0, {"event 2 0 0 0", "event 1 200 0 0"}, "the visualizer loses it; the player hears it is held elsewhere"},
      {2, {"event 2 0 1 0", "event 1 200 0 0"}, "the visualizer gains it"},
      {2, {}, "the same mode again changes nothing"},
      {1, {"event 2 0 0 0", "event 1 0 1 0"}, "the player gains it and hears nothing of other modes"},
      {0, {"event 1 0 0 0", "event 1 200 0 0"}, "the player loses it"},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.why);
    const int generation = system_.GetGeneration();
    system_.SetMode(step.mode);
    EXPECT_EQ(TakeEvents(), step.events);
    EXPECT_EQ(system_.GetMode(), step.mode);
    EXPECT_EQ(system_.GetGeneration() != generation, !step.events.empty()) << "a new generation with every change";
  }
}

TEST_F(ControlWindowSystemTest, SuspendRemembersTheFirstModeAndResumeAloneChangesNothing) {
  system_.Resume();
  EXPECT_EQ(system_.GetMode(), 2) << "resume without suspend";
  EXPECT_TRUE(TakeEvents().empty());
  system_.Suspend();
  system_.Suspend();
  EXPECT_EQ(system_.GetMode(), 3);
  EXPECT_EQ(system_.GetSelectedMode(), 2) << "the second suspend keeps the first remembered mode";
  system_.Resume();
  EXPECT_EQ(system_.GetMode(), 2);
  system_.SetMode(0);
  system_.Suspend();
  system_.Resume();
  EXPECT_EQ(system_.GetMode(), 0) << "mode 0 comes back as 0";
}

TEST_F(ControlWindowSystemTest, ATakeOverEndsAtOnceWhenTheOverrideGoesOffAndIsForgottenWhenChosen) {
  ASSERT_TRUE(system_.BeginPlayerTakeOver(true, true));
  EXPECT_EQ(system_.GetMode(), 1);
  EXPECT_EQ(system_.GetSelectedMode(), 2) << "the user chose visualizers";
  TakeEvents();
  system_.SetPlayerModeOverride(false);
  EXPECT_EQ(system_.GetMode(), 2) << "back to the recorded mode at once";
  EXPECT_EQ(TakeEvents(), (Events{"event 1 0 0 0", "event 2 0 1 0", "event 1 200 0 0"}));
  EXPECT_EQ(system_.EndPlayerTakeOver(true, true), -1) << "nothing recorded any more";

  system_.SetPlayerModeOverride(true);
  ASSERT_TRUE(system_.BeginPlayerTakeOver(true, true));
  system_.SetMode(1);
  EXPECT_EQ(system_.GetSelectedMode(), 1) << "choosing the players' mode forgets the takeover";
  EXPECT_EQ(system_.EndPlayerTakeOver(true, true), -1);

  system_.Suspend();
  EXPECT_FALSE(system_.BeginPlayerTakeOver(true, true)) << "refused while suspended";
}

TEST_F(ControlWindowSystemTest, DisablingTheCurrentUserTellsItAndTheOtherSlotOnlyIsMarked) {
  system_.DisableUser(1);
  EXPECT_TRUE(TakeEvents().empty()) << "slot 1 is not the current mode";
  system_.DisableUser(2);
  EXPECT_EQ(TakeEvents(), Events{"event 2 0 0 0"});
  system_.DisableUser(2);
  EXPECT_TRUE(TakeEvents().empty()) << "already disabled";
  system_.EnableUser(2);
  EXPECT_EQ(TakeEvents(), Events{"event 2 0 1 0"});
  EXPECT_EQ(system_.GetCurrentUser(), &visualizer_);
  EXPECT_TRUE(system_.IsCurrentUser(&visualizer_));
  EXPECT_FALSE(system_.IsCurrentUser(&player_));
  EXPECT_TRUE(system_.IsCurrentUser(nullptr));
}

TEST_F(ControlWindowSystemTest, TheOtherKindsSettingsAreOnlyStoredUntilTheMainWindowBecomesThatKind) {
  system_.SetModeFor(2, 1);
  EXPECT_EQ(system_.GetMode(), 2) << "the normal main window is shown";
  EXPECT_EQ(system_.GetModeFor(2), 1);
  EXPECT_EQ(system_.GetModeFor(0), 2);
  system_.SetPlayerModeOverrideFor(2, false);
  EXPECT_TRUE(system_.GetPlayerModeOverride());

  system_.BeginMainWindowModeChange();
  host_.kind = 2;
  system_.EndMainWindowModeChange();
  EXPECT_EQ(system_.GetMode(), 1) << "the mini settings apply";
  EXPECT_FALSE(system_.GetPlayerModeOverride());

  system_.BeginMainWindowModeChange();
  host_.kind = 1;
  system_.EndMainWindowModeChange();
  EXPECT_EQ(system_.GetMode(), 2) << "small shares the normal settings";
  EXPECT_TRUE(system_.GetPlayerModeOverride());
  EXPECT_EQ(system_.GetModeFor(2), 1) << "the mini mode was kept at the switch";
}

TEST_F(ControlWindowSystemTest, TheGenerationWrapsFromItsLargestValueToOneAndIsAnnounced) {
  system_.SetGenerationForTesting(INT_MAX);
  const int announced = host_.generations;
  system_.SetMode(0);
  EXPECT_EQ(system_.GetGeneration(), 1);
  system_.SetMode(2);
  EXPECT_EQ(system_.GetGeneration(), 2);
  EXPECT_EQ(host_.generations, announced + 2);
}

TEST_F(ControlWindowSystemTest, DisplayModesGoToTheUserOfTheirModeOnly) {
  system_.SetPlayerDisplayMode(1);
  EXPECT_TRUE(TakeEvents().empty()) << "the player is not shown";
  EXPECT_EQ(system_.GetPlayerDisplayMode(), 1);
  system_.SetVisualizerDisplayMode(1);
  EXPECT_EQ(TakeEvents(), Events{"display 2 1"});
  system_.ToggleDisplayMode();
  EXPECT_EQ(system_.GetVisualizerDisplayMode(), 0);
  EXPECT_EQ(TakeEvents(), Events{"display 2 0"});
  system_.SetDisplayMode(0);
  EXPECT_EQ(TakeEvents(), Events{"display 2 0"}) << "told even when unchanged";
}

TEST(ViewerWindowHeight, TheMiddleGrowsToWholeTilesOnlyWhenThereIsATileAndAMiddle) {
  struct Row {
    ViewerFrame frame;
    INT content;
    INT bar;
    INT expected;
    const char* why;
  };
  const Row rows[] = {
      {{10, 8, 6, 4, false}, 100, 20, 124, "cut tiles: as asked, plus the margins"},
      {{10, 8, 6, 4, true}, 100, 20, 128, "whole tiles: 108 rows of middle become 112"},
      {{10, 8, 6, 4, true}, 92, 16, 112, "a middle that is whole already stays"},
      {{10, 0, 6, 4, true}, 100, 20, 124, "a middle part without rows has nothing to round to"},
      {{40, 8, 30, 4, true}, 10, 5, 19, "no middle to fill: nothing is rounded"},
      {{0, 0, 0, 0, true}, 0, 0, 0, "an empty frame"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.why);
    EXPECT_EQ(ViewerWindowHeight(row.frame, row.content, row.bar), row.expected);
  }
}

TEST(ControlWindowGeometry, WithoutASkinTheWindowIsTheContentAndTheBar) {
  CControlWindowSystem system;
  INT nonContent = -1;
  EXPECT_EQ(system.GetWindowHeightFor(240, &nonContent), 240);
  EXPECT_EQ(nonContent, 0);
}

}  // namespace
