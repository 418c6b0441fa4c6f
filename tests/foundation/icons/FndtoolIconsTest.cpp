#include <gtest/gtest.h>
#include <sys/wait.h>

#include <string>

#include "ClassesRoot.h"
#include "IconPictures.h"
#include "support/TestPaths.h"

namespace {

std::string Fndtool() { return "'" + twltest::ProgramPath("fndtool") + "'"; }

TEST(FndtoolIcons, PrintsTheHostListWithTheSourceOfEachImage) {
  const std::string note = icontest::CopyProgramIcon("document.ico", twltest::MakeTempDir("types"), "note.ico");
  icontest::RegisterFileType(".note", "TestNoteFile", note + ",0");

  std::string output;
  const int status = twltest::RunCommand(Fndtool() + " icons a.note readme 'C:\\b.NOTE' x.unknown", &output);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << output;
  EXPECT_EQ(output,
            "0\tresource 109\n"
            "1\tresource 108\n"
            "2\t" +
                note +
                ",0\ta.note C:\\b.NOTE\n"
                "3\tresource 115\treadme x.unknown\n");
}

TEST(FndtoolIcons, WithoutFilesPrintsTheEssentialIcons) {
  std::string output;
  const int status = twltest::RunCommand(Fndtool() + " icons", &output);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(output, "0\tresource 109\n1\tresource 108\n");
}

}  // namespace
