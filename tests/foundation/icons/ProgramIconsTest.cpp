#include <gtest/gtest.h>
#include <windows.h>

#include <climits>
#include <set>
#include <string>

#include "ClassesRoot.h"
#include "IconPictures.h"
#include "PlatformSpy.h"
#include "foundation/appcore/ProgramIcons.h"
#include "foundation/icons/IconManager.h"
#include "foundation/kernel/Error.h"
#include "support/TestPaths.h"

namespace {

HINSTANCE Program() { return GetModuleHandleA(nullptr); }

HICON ProgramIcon(WORD resource) { return LoadIconA(Program(), MAKEINTRESOURCEA(resource)); }

TEST(IconManagerStart, EssentialIconsTakeIndicesZeroAndOne) {
  CIconManager manager;
  InitIconManager(manager, Program());
  EXPECT_EQ(ImageList_GetImageCount(manager.GetImageList()), 2);
  EXPECT_EQ(manager.FindIcon(ProgramIcon(109)), 0);
  EXPECT_EQ(manager.FindIcon(ProgramIcon(108)), 1);
  // Loading a resource again gives the same handle, so it is found.
  EXPECT_EQ(manager.GetIconIndex(ProgramIcon(108)), 1);
  EXPECT_EQ(ImageList_GetImageCount(manager.GetImageList()), 2);

  // Starting again starts from an empty list.
  InitIconManager(manager, Program());
  EXPECT_EQ(manager.FindIcon(ProgramIcon(109)), 0);
  EXPECT_EQ(ImageList_GetImageCount(manager.GetImageList()), 2);
}

TEST(IconManagerStart, AModuleWithoutTheEssentialIconsThrowsIconError) {
  CIconManager manager;
  try {
    InitIconManager(manager, nullptr);  // the platform's own icons: none of the player's
    ADD_FAILURE() << "no error thrown";
  } catch (CError* error) {
    EXPECT_STREQ(error->GetCaption(), "Icon error");
    EXPECT_STREQ(error->GetText(), "Error loading essential icon.");
    DisposeError(error);
  }
}

class FileTypeIcons : public testing::Test {
 protected:
  void SetUp() override {
    const std::string folder = twltest::MakeTempDir("types");
    note = icontest::CopyProgramIcon("document.ico", folder, "note.ico");
    raw = icontest::CopyProgramIcon("playlist.ico", folder, "raw.ico");
    icontest::RegisterFileType(".note", "TestNoteFile", note + ",0");
    icontest::RegisterFileType(".bare", "TestBareFile", "");
    icontest::RegisterFileType(".gone", "TestGoneFile", folder + "/missing.ico,0");
    icontest::RegisterFileType(".count", "TestCountFile", note + ",-1");
    icontest::RegisterFileType(".raw", "TestRawFile", "");
    icontest::SetClassesValue("TestRawFile\\DefaultIcon", REG_SZ, raw);  // stored without its terminator
    icontest::RegisterFileType(".word", "TestWordFile", "");
    icontest::SetClassesValue("TestWordFile\\DefaultIcon", REG_DWORD, std::string("\5\0\0\0", 4));
    InitIconManager(manager, Program());
    spy::Reset();
  }

  CIconManager manager;
  std::string note;
  std::string raw;
};

TEST_F(FileTypeIcons, FollowTheClassesRootElseTheDefaultFileIcon) {
  enum Expect { kNote, kRaw, kDefault };
  struct Case {
    const char* name;
    Expect icon;
  };
  const Case cases[] = {
      {"C:\\Music\\a.note", kNote},
      {"file:///home/u/b.NOTE", kNote},    // the registry ignores case
      {"x.raw", kRaw},                     // a location without a number: icon 0
      {"readme", kDefault},                // no extension
      {"archive.unknown", kDefault},       // no file type
      {"C:\\old.note\\readme", kDefault},  // the "." of a folder makes no extension
      {"x.bare", kDefault},                // a type without an icon
      {"x.gone", kDefault},                // an icon file that is not there
      {"x.count", kDefault},               // icon number -1, which is no icon
      {"x.word", kDefault},                // a location that is no text
      {"", kDefault},
      {nullptr, kDefault},
  };
  std::set<INT> indices;
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name ? test.name : "(null)");
    const INT index = GetFileTypeIconIndex(manager, Program(), test.name);
    indices.insert(index);
    switch (test.icon) {
      case kNote: EXPECT_EQ(index, manager.FindKey((note + ",0").c_str())); break;
      case kRaw: EXPECT_EQ(index, manager.FindKey((raw + ",0").c_str())); break;
      case kDefault: EXPECT_EQ(index, manager.FindIcon(ProgramIcon(kDefaultFileIconResource))); break;
    }
  }
  // Three icons, each added once, after the two essential ones.
  EXPECT_EQ(indices, (std::set<INT>{2, 3, 4}));
  EXPECT_EQ(ImageList_GetImageCount(manager.GetImageList()), 5);
  // note, raw, missing.ico; never the count request.
  EXPECT_EQ(spy::Calls().extractCalls, 3);
}

TEST_F(FileTypeIcons, LocationsComeFromTheTypeOfTheExtension) {
  EXPECT_EQ(GetDefaultIconText(".note"), CStr((note + ",0").c_str()));
  EXPECT_EQ(GetDefaultIconText(".NOTE"), CStr((note + ",0").c_str()));
  EXPECT_EQ(GetDefaultIconText(".raw"), CStr(raw.c_str()));
  EXPECT_EQ(GetFileTypeIconLocation("C:\\dir.x\\song.note"), CStr((note + ",0").c_str()));
  for (const char* nothing : {".bare", ".word", ".unknown", "", "note"}) {
    EXPECT_TRUE(GetDefaultIconText(nothing).IsEmpty()) << nothing;
  }
  EXPECT_TRUE(GetDefaultIconText(nullptr).IsEmpty());
  EXPECT_TRUE(GetFileTypeIconLocation("C:\\old.note\\readme").IsEmpty());
}

TEST(IconLocations, SplitAtTheLastComma) {
  struct Case {
    const char* location;
    const char* file;
    INT number;
  };
  const Case cases[] = {
      {"C:\\icons\\a.ico,3", "C:\\icons\\a.ico", 3},
      {"C:\\icons\\a.ico", "C:\\icons\\a.ico", 0},
      {"C:\\a,b\\lib.dll, -2", "C:\\a,b\\lib.dll", -2},
      {"x.dll,+7z", "x.dll", 7},
      {"x.dll,", "x.dll", 0},
      {"x.dll,abc", "x.dll", 0},
      {"x.dll,99999999999999999999", "x.dll", INT_MAX},
      {"x.dll,-99999999999999999999", "x.dll", INT_MIN},
      {"", "", 0},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.location);
    CStr file = "old";
    INT number = 99;
    SplitIconLocation(test.location, file, number);
    EXPECT_STREQ(file, test.file);
    EXPECT_EQ(number, test.number);
  }
}

}  // namespace
