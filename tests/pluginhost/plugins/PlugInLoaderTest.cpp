// The plug-ins folder over a run: the start-up scan, plug-ins copied in
// while the program runs, and a plug-in caught while it was being copied.
#include <gtest/gtest.h>

#include <filesystem>

#include "PlugInTestSupport.h"
#include "pluginhost/plugins/PlugInLoader.h"
#include "support/RecordingLogFront.h"
#include "support/TestPaths.h"

using plugintest::CopyFixture;
using plugintest::Count;
using plugintest::FixturePath;

namespace {

// Polls as the main window's tick does until plug-ins were added or a
// second has passed.
bool PollForNewPlugIns(CPlugInLoader& loader, std::vector<INT>& firstNew) {
  for (int i = 0; i < 100; ++i) {
    if (loader.LoadNewPlugIns([&](INT index) { firstNew.push_back(index); })) return true;
    Sleep(10);
  }
  return false;
}

TEST(PlugInLoader, APlugInCopiedIntoTheWatchedFolderIsLoadedOnceAndAnnounced) {
  twltest::RecordingLogFront log;
  const std::string folder = twltest::MakeTempDir("PlugIns");
  CopyFixture("Api10031", folder, "Old.dll");
  CPlugInLoader loader;
  loader.LoadPlugIns((folder + "/").c_str());
  ASSERT_TRUE(loader.IsWatching());
  ASSERT_EQ(loader.GetManager().GetCount(), 1);
  EXPECT_EQ(log.Text(),
            "-------- loading plugins --------\n"
            "Loading plugin 'Old.dll'...done\ninitializing plugin 'Old.dll'...done\n"
            "finished loading plugins\n");

  log.Clear();
  ASSERT_EQ(twltest::RunCommand("cp '" + FixturePath("Api10032") + "' '" + folder + "/New.dll'"), 0);
  std::vector<INT> firstNew;
  ASSERT_TRUE(PollForNewPlugIns(loader, firstNew));
  EXPECT_EQ(firstNew, std::vector<INT>{1});
  EXPECT_EQ(loader.GetManager().GetCount(), 2);
  EXPECT_EQ(log.Text(),
            "\n-------- new plugin(s) detected --------\n\n"
            "Loading plugin 'New.dll'...done\ninitializing plugin 'New.dll'...done\n"
            "\n-------- finished loading new plugin(s) --------\n\n");

  log.Clear();
  ASSERT_EQ(twltest::RunCommand("cp '" + FixturePath("Api10032") + "' '" + folder + "/NEW.DLL'"), 0);
  EXPECT_FALSE(PollForNewPlugIns(loader, firstNew)) << "the same name in another case";
  EXPECT_EQ(log.Text(), "");
}

TEST(PlugInLoader, APlugInCaughtHalfCopiedIsLoadedOnceItsCopyIsComplete) {
  twltest::RecordingLogFront log;
  const std::string folder = twltest::MakeTempDir("PlugIns");
  CPlugInLoader loader;
  loader.LoadPlugIns(folder.c_str());

  const std::string complete = twltest::ReadFile(FixturePath("Api10032"));
  FILE* file = std::fopen((folder + "/Slow.dll").c_str(), "wb");
  ASSERT_NE(file, nullptr);
  std::fwrite(complete.data(), 1, 100, file);
  std::fflush(file);
  std::vector<INT> firstNew;
  for (int i = 0; i < 100 && Count(log.Text(), "Can't load DLL") == 0; ++i) {
    loader.LoadNewPlugIns([&](INT index) { firstNew.push_back(index); });
    Sleep(10);
  }
  ASSERT_EQ(Count(log.Text(), "Loading plugin 'Slow.dll'...Can't load DLL"), 1u) << log.Text();
  EXPECT_EQ(loader.GetManager().GetCount(), 0);

  std::fwrite(complete.data() + 100, 1, complete.size() - 100, file);
  std::fclose(file);
  ASSERT_TRUE(PollForNewPlugIns(loader, firstNew));
  EXPECT_EQ(loader.GetManager().GetCount(), 1);
  EXPECT_EQ(Count(log.Text(), "-------- finished loading new plugin(s) --------"), 1u);
}

TEST(PlugInLoader, WithoutAFolderToWatchOnlyTheStartUpScanHappensAndAWarningSaysSo) {
  twltest::RecordingLogFront log;
  CPlugInLoader loader;
  loader.LoadPlugIns((twltest::SandboxDir() + "/missing/").c_str());
  EXPECT_FALSE(loader.IsWatching());
  ASSERT_FALSE(log.Entries().empty());
  EXPECT_EQ(log.Entries()[0].category, 0x10000u);
  EXPECT_EQ(log.Entries()[0].text,
            "WARNING: Unable to set up plugin change notification. New plugins will only be detected at program "
            "start.\n");
  EXPECT_FALSE(loader.LoadNewPlugIns(nullptr));
}

TEST(PlugInLoader, AWatchedFolderThatIsRemovedStopsTheWatchWithoutLoadingAnything) {
  twltest::RecordingLogFront log;
  const std::string folder = twltest::MakeTempDir("PlugIns");
  CPlugInLoader loader;
  loader.LoadPlugIns(folder.c_str());
  std::filesystem::remove_all(folder);
  std::vector<INT> firstNew;
  EXPECT_FALSE(PollForNewPlugIns(loader, firstNew));
  EXPECT_FALSE(loader.IsWatching());
}

}  // namespace
