// Finding a plug-in's objects: version-2 enumeration with a nameless
// object, heads that lack mandatory functions, version 1, and the texts
// that cross the boundary.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "PlugInTestSupport.h"
#include "pluginhost/hostapi/HostApiTesting.h"
#include "pluginhost/plugins/ObjectDiscovery.h"
#include "pluginhost/plugins/PlugInManager.h"
#include "pluginhost/plugins/PlugInRegistry.h"
#include "support/RecordingLogFront.h"
#include "support/TestPaths.h"

using plugintest::CopyFixture;
using plugintest::FixtureTrace;

namespace {

using Wrappers = std::vector<std::unique_ptr<CTestObject>>;

// Loads one fixture and discovers its objects of one kind.
struct Discovered {
  Discovered(const char* fixture, DWORD kind) {
    const std::string folder = twltest::MakeTempDir("plugins");
    CopyFixture(fixture, folder, std::string(fixture) + ".dll");
    manager.ScanFolder(folder.c_str(), false);
    EXPECT_EQ(manager.GetCount(), 1);
    if (manager.GetCount() != 1) return;
    log.Clear();
    DiscoverObjects<CTestObject, CTestObject2>(*manager.GetPlugIn(0), kind,
                                               [&](CTestObject* wrapper) { wrappers.emplace_back(wrapper); });
  }

  twltest::RecordingLogFront log;
  CPlugInManager manager;
  Wrappers wrappers;
};

// What an object without any optional head slot answers.
void ExpectHeadDefaults(CTestObject& object) {
  EXPECT_EQ(object.GetImageIndex(), -1);
  EXPECT_FALSE(object.HasConfigure());
  EXPECT_TRUE(object.Configure(nullptr));
  EXPECT_FALSE(object.HasInfo());
  EXPECT_TRUE(object.ShowInfo(nullptr));
  EXPECT_TRUE(object.Head().RestoreSurfaces());
}

TEST(ObjectDiscovery, ANamelessObjectAmongThreeIsLoggedByItsNumberAndTheOthersAreKept) {
  FixtureTrace trace;
  const long blocksBefore = GetLiveHostBlockCount();
  {
    Discovered found("ThreePlayers", PLUGINOBJ_PLAYER);
    ASSERT_EQ(found.wrappers.size(), 2u);
    EXPECT_EQ(found.log.Text(),
              "initializing 'Alpha'...done\n"
              "error initializing player 2 from 'ThreePlayers.dll'\n    this player has no name\n"
              "initializing 'Gamma'...done\n");
    EXPECT_EQ(found.log.Entries()[2].category, 0x100u);

    CTestObject& gamma = *found.wrappers[1];
    EXPECT_STREQ(gamma.GetName(), "Gamma");
    EXPECT_STREQ(gamma.GetDescription(), "third");
    EXPECT_EQ(gamma.Head().GetKey(), "ThreePlayers<gamma>");
    EXPECT_EQ(gamma.Head().GetPlugInName(), "ThreePlayers");
    EXPECT_EQ(gamma.GetImageIndex(), 30);
    EXPECT_EQ(gamma.GetHandle(), static_cast<CConfigurableObject*>(&gamma)) << "version 2: the wrapper";

    // The two share one table, yet each has its own registry entry.
    PlugInRegistryEntry entry;
    ASSERT_TRUE(GetPlugInRegistry().Lookup(found.wrappers[0]->GetHandle(), entry));
    EXPECT_EQ(entry.key, "ThreePlayers<alpha>");
    ASSERT_TRUE(GetPlugInRegistry().Lookup(gamma.GetHandle(), entry));
    EXPECT_EQ(entry.key, "ThreePlayers<gamma>");
    EXPECT_EQ(entry.wrapper, &gamma);
    EXPECT_EQ(GetPlugInRegistry().GetCount(), 2);
    EXPECT_EQ(GetLiveHostBlockCount(), blocksBefore) << "every name, id and description freed";
  }
  EXPECT_THAT(trace.Lines(), testing::ElementsAre("ThreePlayers: OBJECT_Init 1", "ThreePlayers: OBJECT_Init 3",
                                                  testing::StartsWith("ThreePlayers: OBJECT_Exit"),
                                                  testing::StartsWith("ThreePlayers: OBJECT_Exit")));
  EXPECT_EQ(GetPlugInRegistry().GetCount(), 0);
  EXPECT_EQ(GetLiveHostBlockCount(), blocksBefore);
}

TEST(ObjectDiscovery, HeadsLackingMandatoryFunctionsAreRefusedWithoutCrashingTheHost) {
  FixtureTrace trace;
  const long blocksBefore = GetLiveHostBlockCount();
  {
    Discovered found("BrokenHeads", PLUGINOBJ_FILEFILTER);
    ASSERT_EQ(found.wrappers.size(), 1u);
    EXPECT_STREQ(found.wrappers[0]->GetName(), "filter 6");
    EXPECT_EQ(found.log.Text(),
              "error initializing file filter 1 from 'BrokenHeads.dll'\n"
              "    The plugin object lacks the mandatory function 'OBJECT_GetName'.\n"
              "initializing 'filter 1'...The plugin object lacks the mandatory function 'OBJECT_GetId'.\n"
              "initializing 'filter 2'...The plugin object lacks the mandatory function 'OBJECT_GetVersion'.\n"
              "initializing 'filter 3'...The plugin object lacks the mandatory function 'OBJECT_GetDescription'.\n"
              "initializing 'filter 4'...no description today\n"
              "error initializing file filter 6 from 'BrokenHeads.dll'\n"
              "    The plugin object lacks the mandatory function 'OBJECT_GetName'.\n"
              "initializing 'filter 6'...done\n"
              "initializing 'filter 7'...Unable to use plugin because it requires player version 1.80 or higher. "
              "Download the newest version of the player to use it.\n");
    EXPECT_EQ(GetLiveHostBlockCount(), blocksBefore);
    EXPECT_EQ(GetPlugInRegistry().GetCount(), 1) << "only filter 6 is registered";
  }
  // Only objects whose heads are complete and whose versions the player
  // supports are started; the one whose description failed is exited
  // again.
  EXPECT_EQ(trace.Lines(), (std::vector<std::string>{"BrokenHeads: OBJECT_Init 4", "BrokenHeads: OBJECT_Exit 4",
                                                     "BrokenHeads: OBJECT_Init 6", "BrokenHeads: OBJECT_Exit 6"}));
}

TEST(ObjectDiscovery, AVersion1PlugInGivesItsOneObjectOfAKindAndNothingForOthers) {
  FixtureTrace trace;
  {
    Discovered players("Api10031", PLUGINOBJ_PLAYER);
    ASSERT_EQ(players.wrappers.size(), 1u);
    CTestObject& player = *players.wrappers[0];
    EXPECT_EQ(players.log.Text(), "initializing 'Api10031 player'...done\n");
    EXPECT_EQ(player.Head().GetKey(), "Api10031") << "version 1: the plug-in's name";
    EXPECT_EQ(player.GetHandle(), player.Head().GetTable()) << "version 1: the table";
    ExpectHeadDefaults(player);

    players.log.Clear();
    DiscoverObjects<CTestObject, CTestObject2>(*players.manager.GetPlugIn(0), PLUGINOBJ_VISUALIZER,
                                               [](CTestObject*) { ADD_FAILURE() << "no visualizer"; });
    EXPECT_EQ(players.log.Text(), "") << "no object of a kind: no log line";
  }
  EXPECT_TRUE(trace.Contains("Api10031: PLUGIN_GetObject 3"));
}

TEST(ObjectDiscovery, AVersion2ObjectWithoutOptionalSlotsAnswersTheDefaults) {
  Discovered found("Api10032", PLUGINOBJ_PLAYER);
  ASSERT_EQ(found.wrappers.size(), 1u);
  CTestObject& player = *found.wrappers[0];
  EXPECT_TRUE(player.Head().IsVersion2());
  ExpectHeadDefaults(player);
  EXPECT_EQ(player.Head().GetKey(), "Api10032<player>");
}

}  // namespace
