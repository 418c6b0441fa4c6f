// The player wrappers over in-process player tables: the answers of old
// and new players to "can you play", the defaults of the optional slots,
// results passed back, and init refusing incomplete or failing objects.
#include <gtest/gtest.h>

#include <string>

#include "foundation/errors/ThreadErrorState.h"
#include "pluginhost/hostapi/HostApi.h"
#include "pluginhost/players/PlugInPlayer.h"
#include "pluginhost/plugins/PlugInRegistry.h"

namespace {

// What the table's functions answer; set by each test.
struct Script {
  DWORD apiVersion = 0x10040;
  CanPlayAnswer answer{};
  BOOL initResult = TRUE;
  int exits = 0;
  std::string played;
};
Script g_Script;

// --- a version-1 player

void GetVersion1(PlugInVersionInfo* info) { *info = {0x10000, g_Script.apiVersion}; }
char* GetDescription1() { return HostAllocString("a player"); }
BOOL Init1() { return g_Script.initResult; }
void Exit1() { ++g_Script.exits; }
BOOL CanPlay1(const char*, CanPlayAnswer* answer) {
  *answer = g_Script.answer;
  return FALSE;  // never read
}
BOOL Play1(const char* url) {
  g_Script.played = url;
  return 7;
}
BOOL Done1() { return TRUE; }
BOOL Seek1(DWORD) { return TRUE; }
int32_t Volume1(int32_t volume) { return volume + 1000; }
uintptr_t Slot19v1(uintptr_t word) { return word; }
int32_t DisplayMode1(int32_t mode) { return mode * 3; }
int32_t Command1(DWORD event, uintptr_t argument, uintptr_t) { return static_cast<int32_t>(event + argument); }

PlayerInterface Table1() {
  PlayerInterface table{};
  table.head = {&GetVersion1, nullptr, &Init1, &Exit1, &GetDescription1, nullptr, nullptr, nullptr, nullptr, nullptr};
  table.PLAYER_CanPlay = &CanPlay1;
  table.PLAYER_Play = &Play1;
  table.PLAYER_Stop = &Done1;
  table.PLAYER_Pause = &Done1;
  table.PLAYER_Resume = &Done1;
  table.PLAYER_Seek = &Seek1;
  table.PLAYER_SetVolume = &Volume1;
  table.PLAYER_Slot19 = &Slot19v1;
  table.PLAYER_SetDisplayMode = &DisplayMode1;
  table.PLAYER_Command = &Command1;
  return table;
}

// --- a version-2 player without the optional slots

void GetVersion2(PLUGIN_CONTEXT, PlugInVersionInfo* info) { *info = {0x10000, g_Script.apiVersion}; }
BOOL Init2(PLUGIN_CONTEXT, PLUGIN_HANDLE) { return g_Script.initResult; }
void Exit2(PLUGIN_CONTEXT) { ++g_Script.exits; }
char* GetDescription2(PLUGIN_CONTEXT) { return HostAllocString("a player"); }
BOOL CanPlay2(PLUGIN_CONTEXT context, const char*, CanPlayAnswer* answer) {
  *answer = g_Script.answer;
  answer->reserved = static_cast<DWORD>(context);
  return TRUE;
}
BOOL Play2(PLUGIN_CONTEXT, const char* url) {
  g_Script.played = url;
  return TRUE;
}
BOOL Done2(PLUGIN_CONTEXT) { return FALSE; }
BOOL Seek2(PLUGIN_CONTEXT, DWORD) { return TRUE; }
int32_t Volume2(PLUGIN_CONTEXT, int32_t volume) { return volume; }
uintptr_t Slot19v2(PLUGIN_CONTEXT, uintptr_t word) { return word; }

PlayerInterface2 Table2() {
  PlayerInterface2 table{};
  table.head = {&GetVersion2, nullptr, nullptr, &Init2,   &Exit2,  &GetDescription2, nullptr,
                nullptr,      nullptr, nullptr, nullptr, nullptr, nullptr,          nullptr};
  table.PLAYER_CanPlay = &CanPlay2;
  table.PLAYER_Play = &Play2;
  table.PLAYER_Stop = &Done2;
  table.PLAYER_Pause = &Done2;
  table.PLAYER_Resume = &Done2;
  table.PLAYER_Seek = &Seek2;
  table.PLAYER_SetVolume = &Volume2;
  table.PLAYER_Slot19 = &Slot19v2;
  return table;
}

class PlugInPlayerTest : public ::testing::Test {
 protected:
  void SetUp() override { g_Script = Script{}; }
};

TEST_F(PlugInPlayerTest, OldPlayersAreRankedByTheirNameAndNewOnesKeepTheirAnswerWithinBounds) {
  struct Case {
    const char* name;
    DWORD api;
    DWORD word5, word6, priority;  // written by the player
    DWORD expected5, expected6, expectedPriority;
  };
  const Case cases[] = {
      {"Devicor player", 0x10000, 9, 9, 255, 0, 0, 160},
      {"Layrel", 0x10000, 0, 0, 10, 1, 1, 192},
      {"Trakkel player", 0x0FFFF, 0, 0, 10, 1, 1, 192},
      {"Sondrel player", 0x10000, 0, 0, 10, 1, 1, 192},
      {"devicor player", 0x10000, 0, 0, 10, 2, 3, 128},  // names compare exactly
      {"Some player", 0x10000, 5, 5, 250, 2, 3, 128},
      {"Devicor player", 0x10001, 0, 1, 300, 0, 0, 255},  // a new player: its own answer
      {"Any", 0x10040, 4, 4, 200, 0, 0, 200},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.name) + " api " + std::to_string(c.api));
    g_Script.apiVersion = c.api;
    g_Script.answer = {0, 2, 11, 12, 1, c.word5, c.word6, c.priority};
    const PlayerInterface table = Table1();
    CPlugInPlayer player;
    ASSERT_TRUE(player.Init(&table, c.name, "OldPlayers")) << GetThreadErrorText().c_str();
    CanPlayAnswer answer{};
    player.CanPlay("file:///a.mp3", answer);
    EXPECT_EQ(answer.verdict, 2u);
    EXPECT_EQ(answer.supportLevel, 11u);
    EXPECT_EQ(answer.costLevel, 12u);
    EXPECT_EQ(answer.exclusiveAccess, 1u);
    EXPECT_EQ(answer.legacyLevel, c.expected5);
    EXPECT_EQ(answer.legacyGroup, c.expected6);
    EXPECT_EQ(answer.priority, c.expectedPriority);
  }
}

TEST_F(PlugInPlayerTest, OperationsReachTheirSlotsAndResultsComeBackAsTheyWere) {
  const PlayerInterface table = Table1();
  CPlugInPlayer player;
  ASSERT_TRUE(player.Init(&table, "One", "OnePlugIn"));
  EXPECT_EQ(player.GetHandle(), &table) << "a version-1 object's handle is its table";
  EXPECT_STREQ(player.GetKey(), "OnePlugIn");
  EXPECT_TRUE(player.Play("file:///x.wav")) << "any nonzero result is true";
  EXPECT_EQ(g_Script.played, "file:///x.wav");
  EXPECT_EQ(player.SetVolume(200), 1200);
  EXPECT_TRUE(player.SetDisplayMode(5));
  EXPECT_EQ(player.OnViewerEvent(3, 4, 0), 7);
  player.Unload();
  EXPECT_EQ(g_Script.exits, 1);
  EXPECT_FALSE(player.Play("file:///x.wav")) << "an unloaded wrapper refuses";
  EXPECT_EQ(GetThreadErrorState()->code, static_cast<DWORD>(MISC_ERROR_INVALID_PARAM));
}

TEST_F(PlugInPlayerTest, AVersion2PlayerWithoutOptionalSlotsGetsTheDefaultsAndItsContext) {
  const PlayerInterface2 table = Table2();
  CPlugInPlayer2 player;
  ASSERT_TRUE(player.Init(&table, 42, "Two", "TwoPlugIn<two>", "TwoPlugIn")) << GetThreadErrorText().c_str();
  EXPECT_EQ(player.GetHandle(), static_cast<void*>(static_cast<CConfigurableObject*>(&player)));
  EXPECT_STREQ(player.GetKey(), "TwoPlugIn<two>");
  EXPECT_STREQ(player.GetPlugInName(), "TwoPlugIn");
  EXPECT_FALSE(player.SetDisplayMode(1)) << "no slot 24: 0";
  for (DWORD event : {0u, 1u, 17u}) EXPECT_EQ(player.OnViewerEvent(event, 2, 3), 1) << "no slot 25: 1";
  EXPECT_FALSE(player.Stop());
  g_Script.answer = {0, 1, 0, 0, 0, 0, 0, 90};
  CanPlayAnswer answer{};
  player.CanPlay("file:///a.wav", answer);
  EXPECT_EQ(answer.reserved, 42u) << "the object's context reaches the slot";
  EXPECT_EQ(answer.priority, 90u);
}

TEST_F(PlugInPlayerTest, InitRefusesAPlayerThatLacksAMandatorySlotAndRegistersNothing) {
  struct Case {
    const char* slot;
    void (*clear)(PlayerInterface2&);
  };
  const Case cases[] = {
      {"PLAYER_CanPlay", [](PlayerInterface2& t) { t.PLAYER_CanPlay = nullptr; }},
      {"PLAYER_Play", [](PlayerInterface2& t) { t.PLAYER_Play = nullptr; }},
      {"PLAYER_Stop", [](PlayerInterface2& t) { t.PLAYER_Stop = nullptr; }},
      {"PLAYER_Pause", [](PlayerInterface2& t) { t.PLAYER_Pause = nullptr; }},
      {"PLAYER_Resume", [](PlayerInterface2& t) { t.PLAYER_Resume = nullptr; }},
      {"PLAYER_Seek", [](PlayerInterface2& t) { t.PLAYER_Seek = nullptr; }},
      {"PLAYER_SetVolume", [](PlayerInterface2& t) { t.PLAYER_SetVolume = nullptr; }},
      {"PLAYER_Slot19", [](PlayerInterface2& t) { t.PLAYER_Slot19 = nullptr; }},
  };
  const INT registered = GetPlugInRegistry().GetCount();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.slot);
    PlayerInterface2 table = Table2();
    c.clear(table);
    SetThreadError(0, 0, nullptr);
    CPlugInPlayer2 player;
    EXPECT_FALSE(player.Init(&table, 1, "Broken", "Broken<b>", "Broken"));
    EXPECT_EQ(GetThreadErrorState()->type, static_cast<DWORD>(THREAD_ERROR_GENERAL));
    EXPECT_NE(std::string(GetThreadErrorText().c_str()).find(c.slot), std::string::npos) << GetThreadErrorText().c_str();
    EXPECT_EQ(GetPlugInRegistry().GetCount(), registered);
    EXPECT_EQ(g_Script.exits, 0);
  }
  // Version 1 is checked the same way.
  PlayerInterface table = Table1();
  table.PLAYER_Seek = nullptr;
  CPlugInPlayer player;
  EXPECT_FALSE(player.Init(&table, "Broken", "Broken"));
  EXPECT_EQ(GetPlugInRegistry().GetCount(), registered);
}

TEST_F(PlugInPlayerTest, APlayerWhoseInitFailsIsUnregisteredBeforeInitReturns) {
  g_Script.initResult = FALSE;
  const INT registered = GetPlugInRegistry().GetCount();
  const PlayerInterface2 table = Table2();
  CPlugInPlayer2 player;
  EXPECT_FALSE(player.Init(&table, 1, "Failing", "Failing<f>", "Failing"));
  PlugInRegistryEntry entry;
  EXPECT_FALSE(GetPlugInRegistry().Lookup(player.GetHandle(), entry));
  EXPECT_EQ(GetPlugInRegistry().GetCount(), registered);
  EXPECT_EQ(g_Script.exits, 0) << "OBJECT_Exit is not called after a failed OBJECT_Init";

  g_Script.initResult = TRUE;
  ASSERT_TRUE(player.Init(&table, 1, "Failing", "Failing<f>", "Failing"));
  ASSERT_TRUE(GetPlugInRegistry().Lookup(player.GetHandle(), entry));
  EXPECT_EQ(entry.key, "Failing<f>");
}

}  // namespace
