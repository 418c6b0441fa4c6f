#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "../support/StubViewerUsers.h"
#include "foundation/kernel/ClassManager.h"
#include "playback/player/Player.h"

namespace {

// A player that gives a prepared answer and notes what it was asked with.
class ScriptedPlayer : public playbacktest::StubPlayer {
 public:
  ScriptedPlayer() : StubPlayer("Scripted") {}

  CanPlayAnswer reply{};
  CanPlayAnswer received{};

  void CanPlay(const char*, CanPlayAnswer& answer) override {
    received = answer;
    answer = reply;
  }
};

TEST(Player, AskCanPlaySetsThePermissionWhateverTheVerdict) {
  const struct {
    const char* behaviour;
    DWORD verdict;
    DWORD exclusiveAccess;
    bool candidate;
    bool allowed;
  } cases[] = {
      {"verdict 0 is no candidate but asks for exclusive access", 0, 1, false, true},
      {"verdict 3 is no candidate but asks for exclusive access", 3, 2, false, true},
      {"verdict 1 without exclusive access", 1, 0, true, false},
      {"verdict 2 with an unknown exclusive-access word", 2, 0xFFFFFFFF, true, true},
      {"verdict 0 without exclusive access takes the permission back", 0, 0, false, false},
  };
  for (const auto& c : cases) {
    ScriptedPlayer player;
    player.SetExclusiveAccessAllowed(!c.allowed);  // the answer decides, not what was before
    player.reply = {0, c.verdict, 1, 0, c.exclusiveAccess, 0, 0, 192};
    CanPlayAnswer answer = {9, 9, 9, 9, 9, 9, 9, 9};
    EXPECT_EQ(player.AskCanPlay("file:///a.png", answer), c.candidate) << c.behaviour;
    EXPECT_EQ(player.IsExclusiveAccessAllowed(), c.allowed) << c.behaviour;
    EXPECT_EQ(player.received.verdict + player.received.priority + player.received.reserved, 0u)
        << c.behaviour << ": the player gets a zeroed answer";
    EXPECT_EQ(answer.verdict, c.verdict) << c.behaviour;
  }
}

TEST(Player, ExclusiveAccessIsRefusedUntilAnAnswerAsks) {
  ScriptedPlayer player;
  EXPECT_FALSE(player.IsExclusiveAccessAllowed());
}

// The permission is written on the user-interface thread and read by a
// plug-in thread asking for exclusive file access.
TEST(Player, PermissionIsReadAcrossThreads) {
  ScriptedPlayer player;
  std::atomic<bool> done{false};
  std::thread reader([&] {
    while (!done) (void)player.IsExclusiveAccessAllowed();
  });
  for (int i = 0; i < 2000; ++i) player.SetExclusiveAccessAllowed(i % 2 == 0);
  done = true;
  reader.join();
  EXPECT_FALSE(player.IsExclusiveAccessAllowed());
}

TEST(Player, ClassesRegisterTheirBases) {
  const struct {
    const char* name;
    const CClassRecord* record;
    const char* base;
  } cases[] = {
      {"CControlWindowUser", &CControlWindowUser::ClassRecord, "CConfigurableObject"},
      {"CPlayer", &CPlayer::ClassRecord, "CTypedObject"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(GetClassManager().FindClass(c.name), c.record) << c.name;
    EXPECT_TRUE(c.record->IsDerivedFrom(GetClassManager().FindClass(c.base))) << c.name;
    EXPECT_EQ(c.record->create, nullptr) << c.name << " is never made by name";
  }
  EXPECT_FALSE(CPlayer::ClassRecord.IsDerivedFrom(&CControlWindowUser::ClassRecord))
      << "a player registers on CTypedObject";
  ScriptedPlayer player;
  EXPECT_TRUE(IsKindOf<CPlayer>(&player));
}

}  // namespace
