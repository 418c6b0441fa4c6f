// twltool plugins: the start-up scan's log on stdout, one line per kept
// plug-in, and new plug-ins picked up while it watches.
#include <gtest/gtest.h>

#include <filesystem>

#include "PlugInTestSupport.h"
#include "support/TestPaths.h"

using plugintest::CopyFixture;
using plugintest::Count;
using plugintest::FixturePath;

namespace {

TEST(TwltoolPlugins, PrintsTheScanAndTheKeptPlugIns) {
  const std::string folder = twltest::MakeTempDir("PlugIns");
  CopyFixture("Api10031", folder, "UPPER.DLL");
  CopyFixture("Api10032", folder, "Two.dll");
  CopyFixture("TooNew", folder, "TooNew.dll");
  std::string output;
  ASSERT_EQ(twltest::RunCommand("'" + twltest::ProgramPath("twltool") + "' plugins '" + folder + "'", &output), 0);
  EXPECT_EQ(output,
            "-------- loading plugins --------\n"
            "Loading plugin 'TooNew.dll'...Unable to use plugin because it requires player version 1.80 or higher. "
            "Download the newest version of the player to use it.\n"
            "Loading plugin 'Two.dll'...done\ninitializing plugin 'Two.dll'...done\n"
            "Loading plugin 'UPPER.DLL'...done\ninitializing plugin 'UPPER.DLL'...done\n"
            "finished loading plugins\n"
            "plugin 0 Two (Two.dll) interface 2 requires 1.00 api 0x10032\n"
            "plugin 1 UPPER (UPPER.DLL) interface 1 requires 1.00 api 0x10031\n");
}

TEST(TwltoolPlugins, WatchingLoadsAPlugInCopiedInMeanwhile) {
  const std::string folder = twltest::MakeTempDir("PlugIns");
  const std::string out = twltest::SandboxDir() + "/watch.out";
  const std::string script = "'" + twltest::ProgramPath("twltool") + "' plugins --watch 2 '" + folder + "' >'" + out +
                             "' & until grep -q 'finished loading plugins' '" + out +
                             "' 2>/dev/null; do sleep 0.05; "
                             "done; cp '" +
                             FixturePath("Api10032") + "' '" + folder + "/New.dll'; wait";
  ASSERT_EQ(twltest::RunCommand(script), 0);
  const std::string output = twltest::ReadFile(out);
  EXPECT_GE(Count(output, "\n-------- new plugin(s) detected --------\n\n"), 1u) << output;
  EXPECT_EQ(Count(output, "\n-------- finished loading new plugin(s) --------\n\n"), 1u) << output;
  EXPECT_NE(output.find("initializing plugin 'New.dll'...done\n"), std::string::npos) << output;
  EXPECT_NE(output.find("plugin 0 New (New.dll) interface 2"), std::string::npos) << output;
}

TEST(TwltoolPlugins, BadArgumentsAreRefused) {
  for (const char* arguments : {"plugins", "plugins --watch x /tmp", "plugins --watch", "plugins a b"}) {
    SCOPED_TRACE(arguments);
    EXPECT_NE(twltest::RunCommand("'" + twltest::ProgramPath("twltool") + "' " + arguments + " 2>/dev/null"), 0);
  }
}

}  // namespace
