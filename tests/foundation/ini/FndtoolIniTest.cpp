// fndtool ini: every item with its type and value, then the message of
// each bad line; failures of the file itself on stderr.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <string>

#include "support/TestPaths.h"

namespace {

std::string Quote(const std::string& text) { return "'" + text + "'"; }

int RunIni(const std::string& arguments, std::string* output) {
  const int status = twltest::RunCommand(Quote(twltest::ProgramPath("fndtool")) + " ini " + arguments, output);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(FndtoolIni, PrintsEachItemWithTypeAndValueThenEachBadLine) {
  const std::string fixture = twltest::SourceDir() + "/tests/foundation/ini/data/Main.ini";
  std::string output;
  EXPECT_EQ(RunIni(Quote(fixture) +
                       " Version:version BackgroundColor:color TextColor:color Expansion:expansion"
                       " Transition:transition Margins:margins Opacity:percentage TitleOffset:point"
                       " Width:integer Rounded:boolean Height:unsigned",
                   &output),
            1);
  EXPECT_EQ(output,
            "Version (version) = 1.50 (0x00010032)\n"
            "BackgroundColor (color) = 0x000080FF (red 255, green 128, blue 0)\n"
            "TextColor (color) not found\n"
            "Expansion (expansion) = tile\n"
            "Transition (transition) = type 1, frame count 8, delay 0\n"
            "Margins (margins) = left 1, top 2, right 3, bottom 4\n"
            "Opacity (percentage) = 0.125\n"
            "TitleOffset (point) = -3,4\n"
            "Width (integer) not found\n"
            "Rounded (boolean) = true\n"
            "Height (unsigned) not found\n"
            "Name (string) = \"Blue Gr\xc3\xbcn\"\n"
            "Delay (string) = \"20\"\n"
            "Syntax error in 'Main.ini' at line 1 ([Skin])\n"
            "Error in 'Main.ini' at line 5 (TextColor=#FF8000): value must be a color of the form rrggbb with each "
            "digit in the range 0-F\n"
            "Error in 'Main.ini' at line 11 (Width=-x): value must be an integer\n"
            "Syntax error in 'Main.ini' at line 13 (Columns)\n");
}

TEST(FndtoolIni, FailuresOfTheFileGoToStderr) {
  const std::string dir = twltest::MakeTempDir("ini");
  twltest::WriteFile(dir + "/large.ini", std::string(1024 * 1024 + 1, '\n'));
  std::string output;
  EXPECT_EQ(RunIni(Quote(dir + "/large.ini") + " 2>&1", &output), 1);
  EXPECT_EQ(output, "fndtool: Ini error: The file is not a valid ini file.\n");

  EXPECT_EQ(RunIni(Quote(dir + "/missing.ini") + " 2>&1", &output), 1);
  EXPECT_NE(output.find("fndtool: "), std::string::npos);
  EXPECT_NE(output.find("missing.ini"), std::string::npos) << output;

  EXPECT_EQ(RunIni(Quote(dir + "/large.ini") + " Width:float 2>&1", &output), 1);
  EXPECT_EQ(output, "fndtool: bad item declaration 'Width:float'\n");
}

}  // namespace
