// Kilnar's -n and -p switches read through kilnartool cmdline, as the
// program reads its command line.
#include <gtest/gtest.h>

#include <string>

#include "kilnar/KilnarTestTool.h"

namespace {

TEST(CommandLineSwitchesTest, SwitchesGiveTheArgumentsThatFollowThem) {
  struct Row {
    const char* why;
    const char* line;
    const char* expected;
  };
  const Row rows[] = {
      {"name first", R"(-n "Rock" -p "/t/x.p4u")", "name Rock\nplaylist /t/x.p4u\n"},
      {"playlist first", R"(-p "/t/x.p4u" -n "Rock")", "name Rock\nplaylist /t/x.p4u\n"},
      {"a -p inside a quoted name is no switch", R"(-n "Top-picks" -p "/t/x.p4u")",
       "name Top-picks\nplaylist /t/x.p4u\n"},
      {"values without quotes", "-n Rock -p /t/x.p4u", "name Rock\nplaylist /t/x.p4u\n"},
      {"a quoted value with blanks", R"(-n "My Rock Album" -p "/t/a b.p4u")",
       "name My Rock Album\nplaylist /t/a b.p4u\n"},
      {"no -p gives an empty path", R"(-n "Rock")", "name Rock\nplaylist \n"},
      {"a switch followed by a switch has no value", R"(-n -p "/t/x.p4u")", "name \nplaylist /t/x.p4u\n"},
      {"switches are case-sensitive", R"(-N "Rock" -P "/t/x.p4u")", "name \nplaylist \n"},
  };
  for (const auto& row : rows) {
    std::string out;
    ASSERT_EQ(kilnartest::RunKilnartool("cmdline " + kilnartest::Quoted(row.line), &out), 0) << row.why;
    EXPECT_EQ(out, row.expected) << row.why;
  }
}

}  // namespace
