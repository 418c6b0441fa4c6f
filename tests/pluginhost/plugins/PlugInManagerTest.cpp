// Loading plug-ins from a folder: which files are taken, the version rule,
// what is logged, and what a failed start leaves behind.
#include <gtest/gtest.h>

#include <filesystem>

#include "PlugInTestSupport.h"
#include "pluginhost/plugins/PlugInManager.h"
#include "support/RecordingLogFront.h"
#include "support/TestPaths.h"

using plugintest::CopyFixture;
using plugintest::FixtureTrace;

namespace {

TEST(PlugInManager, VersionDecidesWhetherAPlugInIsKeptAndWhichInterfaceItSpeaks) {
  struct Row {
    const char* fixture;
    bool kept;
    bool version2;
  };
  const Row rows[] = {
      {"Api10031", true, false},          // API not above 0x10031: version 1 despite slot 5
      {"Api10032", true, true},           // above it, with slot 5
      {"Api10046NoEnum", true, false},    // no slot 5
      {"NeedsNewerPlayer", true, false},  // only the required player version is newer
      {"TooNew", false, false},           // both versions newer than 1.75
      {"InitFails", false, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.fixture);
    const std::string folder = twltest::MakeTempDir("plugins");
    CopyFixture(row.fixture, folder, std::string(row.fixture) + ".dll");
    CPlugInManager manager;
    manager.ScanFolder((folder + "/").c_str(), false);
    ASSERT_EQ(manager.GetCount(), row.kept ? 1 : 0);
    if (!row.kept) continue;
    EXPECT_EQ(manager.GetPlugIn(0)->GetName(), row.fixture);
    EXPECT_EQ(manager.GetPlugIn(0)->IsVersion2(), row.version2);
  }
}

TEST(PlugInManager, APlugInThatNeedsANewerPlayerAndApiIsRefusedWithTheVersionItNeeds) {
  twltest::RecordingLogFront log;
  const std::string folder = twltest::MakeTempDir("plugins");
  CopyFixture("TooNew", folder, "TooNew.dll");
  CPlugInManager manager;
  manager.ScanFolder(folder.c_str(), false);
  EXPECT_EQ(manager.GetCount(), 0);
  EXPECT_EQ(log.Text(),
            "Loading plugin 'TooNew.dll'...Unable to use plugin because it requires player version 1.80 or higher. "
            "Download the newest version of the player to use it.\n");
  ASSERT_EQ(log.Entries().size(), 2u);
  EXPECT_EQ(log.Entries()[1].category, 0x100u);
}

// A module without the export, or with a main interface the host could
// not call, is refused with the reason before anything is called through
// the table.
TEST(PlugInManager, AModuleWithoutAUsableMainInterfaceIsRefusedWithTheReason) {
  const struct {
    const char* fixture;
    const char* reason;
  } rows[] = {
      {"NoMainExport", "Can't find 'PLUGIN_GetMainInterface'."},
      {"NullMainInterface", "The plugin's main interface lacks 'PLUGIN_GetMainInterface'."},
      {"MainWithoutVersion", "The plugin's main interface lacks 'PLUGIN_GetVersion'."},
      {"MainWithoutInit", "The plugin's main interface lacks 'PLUGIN_Init'."},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.fixture);
    twltest::RecordingLogFront log;
    FixtureTrace trace;
    const std::string folder = twltest::MakeTempDir("plugins");
    CopyFixture(row.fixture, folder, std::string(row.fixture) + ".dll");
    CPlugInManager manager;
    manager.ScanFolder(folder.c_str(), false);
    EXPECT_EQ(manager.GetCount(), 0);
    EXPECT_EQ(log.Text(), "Loading plugin '" + std::string(row.fixture) + ".dll'..." + row.reason + "\n");
    ASSERT_EQ(log.Entries().size(), 2u);
    EXPECT_EQ(log.Entries()[1].category, 0x100u);
    EXPECT_TRUE(trace.Lines().empty()) << "nothing was called";
  }
}

TEST(PlugInManager, APlugInWhoseInitFailsIsNeverAskedForObjectsNorExited) {
  twltest::RecordingLogFront log;
  FixtureTrace trace;
  const std::string folder = twltest::MakeTempDir("plugins");
  CopyFixture("InitFails", folder, "InitFails.dll");
  {
    CPlugInManager manager;
    manager.ScanFolder(folder.c_str(), false);
    EXPECT_EQ(manager.GetCount(), 0);
  }
  EXPECT_EQ(trace.Lines(), (std::vector<std::string>{"InitFails: PLUGIN_GetVersion", "InitFails: PLUGIN_Init"}));
  EXPECT_EQ(
      log.Text(),
      "Loading plugin 'InitFails.dll'...done\ninitializing plugin 'InitFails.dll'...InitFails refuses to start\n");
}

TEST(PlugInManager, OnlyFilesEndingInDllInAnyCaseAreLoadedAndABadOneDoesNotStopTheScan) {
  twltest::RecordingLogFront log;
  FixtureTrace trace;
  const std::string folder = twltest::MakeTempDir("plugins");
  CopyFixture("Api10031", folder, "a.dll.bak");
  std::filesystem::create_directory(folder + "/x.dll");
  twltest::WriteFile(folder + "/junk.dll", "this is not a shared object\n");
  CopyFixture("Api10031", folder, "UPPER.DLL");
  {
    CPlugInManager manager;
    manager.ScanFolder(folder.c_str(), false);
    ASSERT_EQ(manager.GetCount(), 1);
    EXPECT_EQ(manager.GetPlugIn(0)->GetName(), "UPPER");
    EXPECT_EQ(manager.GetPlugIn(0)->GetFileName(), "UPPER.DLL");
    EXPECT_TRUE(manager.GetPlugIn(0)->IsInitialized());
  }
  const std::string text = log.Text();
  EXPECT_NE(text.find("Loading plugin 'junk.dll'...Can't load DLL (reported error: "), std::string::npos) << text;
  EXPECT_NE(text.find("Loading plugin 'UPPER.DLL'...done\ninitializing plugin 'UPPER.DLL'...done\n"), std::string::npos)
      << text;
  EXPECT_EQ(text.find("a.dll.bak"), std::string::npos);
  EXPECT_EQ(text.find("x.dll"), std::string::npos);
  EXPECT_TRUE(trace.Contains("Api10031: PLUGIN_Exit")) << "the manager's end exits the plug-in it kept";
}

TEST(PlugInManager, ASecondScanLoadsOnlyNamesNotLoadedYetAndAnnouncesThemOnce) {
  twltest::RecordingLogFront log;
  const std::string folder = twltest::MakeTempDir("plugins");
  CopyFixture("Api10031", folder, "First.dll");
  CPlugInManager manager;
  manager.ScanFolder(folder.c_str(), false);
  ASSERT_EQ(manager.GetCount(), 1);

  log.Clear();
  manager.ScanFolder(folder.c_str(), true);
  EXPECT_EQ(log.Text(), "") << "nothing new: no header";

  std::filesystem::rename(folder + "/First.dll", folder + "/FIRST.dll");
  manager.ScanFolder(folder.c_str(), true);
  EXPECT_EQ(log.Text(), "") << "the same name in another case is not new";

  twltest::WriteFile(folder + "/Broken.dll", "not a plug-in");
  CopyFixture("Api10032", folder, "Second.dll");
  manager.ScanFolder(folder.c_str(), true);
  ASSERT_EQ(manager.GetCount(), 2);
  EXPECT_EQ(manager.GetPlugIn(0)->GetFileName(), "First.dll") << "indices never change";
  EXPECT_EQ(manager.GetPlugIn(1)->GetFileName(), "Second.dll");
  const std::string text = log.Text();
  EXPECT_EQ(text.rfind("\n-------- new plugin(s) detected --------\n\nLoading plugin 'Broken.dll'...", 0), 0u) << text;
  EXPECT_EQ(text.find("new plugin(s)", 20), std::string::npos) << "announced once";
}

TEST(PlugInManager, AMissingFolderOrAnEmptyOneLoadsNothing) {
  twltest::RecordingLogFront log;
  CPlugInManager manager;
  manager.ScanFolder((twltest::SandboxDir() + "/nowhere").c_str(), false);
  manager.ScanFolder(twltest::MakeTempDir("empty").c_str(), true);
  EXPECT_EQ(manager.GetCount(), 0);
  EXPECT_EQ(log.Text(), "");
}

}  // namespace
