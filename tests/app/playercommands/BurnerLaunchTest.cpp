#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/playercommands/BurnerLaunch.h"
#include "foundation/appcore/RegistryValues.h"
#include "support/TestPaths.h"

namespace {

const std::string& Tools() {
  static const std::string tool = twltest::ProgramPath("twltool");
  return tool;
}

void SetBurnerPath(const std::string& path) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Velbrook\\Velbrook Kilnar! Add-On", 0, nullptr, 0,
                            KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  ASSERT_TRUE(SetRegistryString(key, "PlayListBurnerPath", path.c_str()));
  RegCloseKey(key);
}

// A burner that writes its arguments, one a line, to args.txt beside it
// and copies the playlist after -p to copy.p4u; "done" comes last.
std::string MakeStandInBurner() {
  const std::string folder = twltest::MakeTempDir("burner");
  const std::string script = folder + "/burner.sh";
  twltest::WriteFile(script,
                     "#!/bin/sh\n"
                     "here=$(dirname \"$0\")\n"
                     "prev=\n"
                     "for a in \"$@\"; do\n"
                     "  printf '%s\\n' \"$a\" >> \"$here/args.txt\"\n"
                     "  [ \"$prev\" = -p ] && cp \"$a\" \"$here/copy.p4u\"\n"
                     "  prev=$a\n"
                     "done\n"
                     "touch \"$here/done\"\n");
  chmod(script.c_str(), 0755);
  return script;
}

std::string WaitForArguments(const std::string& script) {
  const std::string folder = script.substr(0, script.find_last_of('/'));
  for (int tries = 0; tries < 1000 && !std::filesystem::exists(folder + "/done"); ++tries) usleep(10000);
  return twltest::ReadFile(folder + "/args.txt");
}

std::string Burn(const std::string& arguments, std::string* errors = nullptr) {
  const std::string stderrFile = twltest::MakeTempDir("stderr") + "/stderr.txt";
  std::string output;
  twltest::RunCommand("'" + Tools() + "' burn " + arguments + " 2>'" + stderrFile + "'", &output);
  if (errors) *errors = twltest::ReadFile(stderrFile);
  return output;
}

std::string MakePlayList(const std::string& name, const std::vector<std::string>& texts) {
  const std::string folder = twltest::MakeTempDir("lists");
  const std::string path = folder + "/" + name;
  std::string command = "'" + Tools() + "' playlist write '" + path + "'";
  for (const std::string& text : texts) command += " '" + text + "'";
  EXPECT_EQ(twltest::RunCommand(command + " >/dev/null 2>&1"), 0);
  return path;
}

int TempPlayListCount() {
  int count = 0;
  for (const auto& entry : std::filesystem::directory_iterator(std::getenv("TMPDIR")))
    if (entry.path().filename().string().rfind("TWLTmp", 0) == 0) ++count;
  return count;
}

TEST(BurnerLaunch, ANamedPlayListGoesToTheBurnerAsItsFileEntriesInOrder) {
  const std::string script = MakeStandInBurner();
  SetBurnerPath(script);
  const std::string list = MakePlayList("My Mix.p4u", {"/music/b.wav", "/music/folder/", "/music/a.wav"});
  const std::string output = Burn("--load '" + list + "'");
  EXPECT_NE(output.find("\nstart \"" + script + "\" -n \"My Mix\" -p \""), std::string::npos) << output;
  const std::string arguments = WaitForArguments(script);
  const size_t temp = arguments.find("/TWLTmp");
  EXPECT_EQ(arguments.rfind("-n\nMy Mix\n-p\n", 0), 0u) << arguments;
  ASSERT_NE(temp, std::string::npos) << arguments;
  EXPECT_EQ(arguments.substr(temp + 11, 5), ".p4u\n") << arguments;

  std::string copy;
  twltest::RunCommand("'" + Tools() + "' playlist read '" + script.substr(0, script.find_last_of('/')) +
                          "/copy.p4u'",
                      &copy);
  EXPECT_NE(copy.find("file 100 file:///music/b.wav\nfile 100 file:///music/a.wav\n"), std::string::npos) << copy;
  EXPECT_EQ(copy.find("folder"), std::string::npos) << copy;
}

TEST(BurnerLaunch, NamesAndQuotesArriveWhole) {
  const std::string script = MakeStandInBurner();
  SetBurnerPath(script);
  Burn("/music/a.wav");
  EXPECT_EQ(WaitForArguments(script).rfind("-p\n", 0), 0u) << "an unnamed playlist has no -n";

  const std::string quoted = MakeStandInBurner();
  SetBurnerPath(quoted);
  Burn("--load '" + MakePlayList("Say \"Hi\".p4u", {"/music/a.wav"}) + "'");
  EXPECT_EQ(WaitForArguments(quoted).rfind("-n\nSay \"Hi\"\n-p\n", 0), 0u);

  EXPECT_EQ(QuoteCommandArgument("a\\\"b\\"), "\"a\\\\\\\"b\\\\\"") << "backslashes before quotes double";
}

TEST(BurnerLaunch, AMissingOrUnstartableBurnerStartsNothingAndLeavesNoFile) {
  std::string errors;
  EXPECT_EQ(Burn("/music/a.wav", &errors).find("start "), std::string::npos);
  EXPECT_NE(errors.find("Add-on needed"), std::string::npos) << errors;
  EXPECT_EQ(TempPlayListCount(), 0);

  const std::string notAProgram = twltest::MakeTempDir("burner") + "/burner.txt";
  twltest::WriteFile(notAProgram, "not a program\n");
  SetBurnerPath(notAProgram);
  const std::string output = Burn("/music/a.wav");
  EXPECT_NE(output.find("Error starting cd recording component."), std::string::npos) << output;
  EXPECT_EQ(output.find("start "), std::string::npos) << output;
  EXPECT_EQ(TempPlayListCount(), 0);
}

}  // namespace
