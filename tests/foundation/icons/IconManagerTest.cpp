#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include "IconPictures.h"
#include "PlatformSpy.h"
#include "foundation/icons/IconManager.h"
#include "foundation/kernel/ClassManager.h"
#include "foundation/kernel/Error.h"
#include "support/TestPaths.h"

using icontest::DrawnColour;
using icontest::SolidIcon;

namespace {

// Runs the call and expects it to throw an error with this caption and text.
template <class Call>
void ExpectError(Call call, const char* caption, const char* text) {
  try {
    call();
    ADD_FAILURE() << "no error thrown, expected '" << text << "'";
  } catch (CError* error) {
    EXPECT_STREQ(error->GetCaption(), caption);
    EXPECT_STREQ(error->GetText(), text);
    DisposeError(error);
  }
}

std::string ProgramFile() {
  char path[4096];
  const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  EXPECT_GT(length, 0u);
  return std::string(path, length);
}

COLORREF SystemColour(int index) { return RGB(index * 10, 120, 250 - index * 10); }

// A stand-in for the system's small-icon list: 25 solid icons whose colour
// tells their index.
HIMAGELIST MakeSystemList() {
  HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR16 | ILC_MASK, 0, 25);
  for (int index = 0; index < 25; ++index) {
    HICON icon = SolidIcon(SystemColour(index));
    EXPECT_EQ(ImageList_ReplaceIcon(list, -1, icon), index);
    DestroyIcon(icon);
  }
  return list;
}

class IconManagerTest : public testing::Test {
 protected:
  void SetUp() override {
    manager.Init();
    list = manager.GetImageList();
    folder = twltest::MakeTempDir("icons");
    spy::Reset();
  }

  int Count() { return ImageList_GetImageCount(list); }

  CIconManager manager;
  HIMAGELIST list = nullptr;
  std::string folder;
};

TEST(IconClasses, AreRegisteredAndCreatableByName) {
  for (const char* name : {"CIconManager", "CShellNotifyIcon"}) {
    SCOPED_TRACE(name);
    const CClassRecord* record = GetClassManager().FindClass(name);
    ASSERT_NE(record, nullptr);
    ASSERT_NE(record->create, nullptr);
    CTypedObject* object = record->create();
    ASSERT_NE(object, nullptr);
    EXPECT_STREQ(object->GetClassRecord()->className, name);
    delete object;
  }
}

TEST(IconManagerInit, CreatesAnEmptySmallListOverTheSystemList) {
  CIconManager manager;
  EXPECT_EQ(manager.GetImageList(), nullptr);
  manager.Init();
  HIMAGELIST list = manager.GetImageList();
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(ImageList_GetImageCount(list), 0);
  int width = 0, height = 0;
  EXPECT_TRUE(ImageList_GetIconSize(list, &width, &height));
  EXPECT_EQ(width, 16);
  EXPECT_EQ(height, 16);

  SHFILEINFOA info{};
  const auto system =
      SHGetFileInfoA(ProgramFile().c_str(), 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON);
  EXPECT_EQ(manager.GetSystemImageList(), reinterpret_cast<HIMAGELIST>(system));

  // A second Init starts a new list and destroys the old one.
  manager.Init();
  EXPECT_NE(manager.GetImageList(), list);
  EXPECT_FALSE(ImageList_Destroy(list));
}

TEST(IconManagerInit, ClearForgetsEveryIconAndTheList) {
  CIconManager manager;
  manager.Init(MakeSystemList());
  const std::string file = icontest::CopyProgramIcon("document.ico", twltest::MakeTempDir("icons"), "a.ico");
  HICON red = SolidIcon(RGB(255, 0, 0));
  EXPECT_EQ(manager.GetIconIndex(red), 0);
  EXPECT_EQ(manager.GetFileIconIndex(file.c_str(), 0), 1);
  EXPECT_EQ(manager.GetSystemIconIndex(3), 2);
  HIMAGELIST old = manager.GetImageList();

  manager.Clear();
  EXPECT_EQ(manager.GetImageList(), nullptr);
  EXPECT_FALSE(ImageList_Destroy(old));
  EXPECT_EQ(manager.FindIcon(red), -1);
  EXPECT_EQ(manager.FindKey(CIconManager::MakeKey(file.c_str(), 0)), -1);
  EXPECT_EQ(manager.FindSystemIcon(3), -1);
  manager.Clear();  // nothing left to clear

  manager.Init();
  EXPECT_EQ(manager.GetIconIndex(red), 0);
  EXPECT_EQ(ImageList_GetImageCount(manager.GetImageList()), 1);
  DestroyIcon(red);
}

TEST_F(IconManagerTest, SameHandleTwiceAddsOnce) {
  HICON red = SolidIcon(RGB(255, 0, 0));
  HICON blue = SolidIcon(RGB(0, 0, 255));
  EXPECT_EQ(manager.FindIcon(red), -1);
  EXPECT_EQ(manager.GetIconIndex(red), 0);
  EXPECT_EQ(manager.GetIconIndex(blue), 1);
  EXPECT_EQ(manager.GetIconIndex(red), 0);
  EXPECT_EQ(Count(), 2);
  EXPECT_EQ(manager.FindIcon(blue), 1);
  EXPECT_EQ(manager.FindIcon(nullptr), -1);

  // AddIcon itself always appends; the handle then names the newest copy.
  EXPECT_EQ(manager.AddIcon(red), 2);
  EXPECT_EQ(manager.GetIconIndex(red), 2);

  // The list keeps copies: the caller's icons may go.
  DestroyIcon(red);
  DestroyIcon(blue);
  EXPECT_EQ(DrawnColour(list, 0), RGB(255, 0, 0));
  EXPECT_EQ(DrawnColour(list, 1), RGB(0, 0, 255));
}

TEST_F(IconManagerTest, EachFileLocationIsExtractedOnce) {
  const std::string note = icontest::CopyProgramIcon("document.ico", folder, "Note.ico");
  const std::string shouted = folder + "/NOTE.ICO";  // the same file, found ignoring case
  struct Step {
    std::string file;
    INT number;
    INT index;
    int extractionsSoFar;
  };
  const Step steps[] = {
      {note, 0, 0, 1},          {note, 0, 0, 1},           // same location: no second extraction
      {shouted, 0, 1, 2},                                  // other spelling: another location
      {shouted, 0, 1, 2},       {ProgramFile(), 2, 2, 3},  // an icon of a program file, by number
      {ProgramFile(), 2, 2, 3},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.file + "," + std::to_string(step.number));
    EXPECT_EQ(manager.GetFileIconIndex(step.file.c_str(), step.number), step.index);
    EXPECT_EQ(spy::Calls().extractCalls, step.extractionsSoFar);
  }
  EXPECT_EQ(Count(), 3);
  EXPECT_EQ(manager.FindKey(CIconManager::MakeKey(note.c_str(), 0)), 0);
  EXPECT_EQ(manager.FindKey((note + ",0").c_str()), 0);
  EXPECT_EQ(manager.FindKey((folder + "/note.ico,0").c_str()), -1);
  EXPECT_EQ(manager.FindKey((note + ",1").c_str()), -1);
  EXPECT_EQ(manager.FindKey(nullptr), -1);

  // Each extracted icon was destroyed once, and its handle, free for a
  // new icon now, finds nothing.
  ASSERT_EQ(spy::Calls().extracted.size(), 3u);
  for (HICON extracted : spy::Calls().extracted) {
    EXPECT_EQ(spy::DestroyCount(extracted), 1);
    EXPECT_EQ(manager.FindIcon(extracted), -1);
  }
}

TEST(IconManagerSystemIcons, MapToHostIndicesStably) {
  HIMAGELIST system = MakeSystemList();
  CIconManager manager;
  manager.Init(system);
  spy::Reset();
  EXPECT_EQ(manager.GetSystemImageList(), system);
  EXPECT_EQ(manager.FindSystemIcon(9), -1);

  EXPECT_EQ(manager.GetSystemIconIndex(9), 0);
  EXPECT_EQ(manager.FindSystemIcon(500), -1);  // beyond the ten slots known so far
  EXPECT_EQ(manager.FindSystemIcon(3), -1);    // a slot without an icon yet
  EXPECT_EQ(manager.FindSystemIcon(-1), -1);

  EXPECT_EQ(manager.GetSystemIconIndex(20), 1);
  for (INT slot = 10; slot < 20; ++slot) EXPECT_EQ(manager.FindSystemIcon(slot), -1) << slot;
  EXPECT_EQ(manager.FindSystemIcon(20), 1);
  EXPECT_EQ(manager.GetSystemIconIndex(9), 0);
  EXPECT_EQ(manager.GetSystemIconIndex(20), 1);
  EXPECT_EQ(manager.GetSystemIconIndex(3), 2);

  HIMAGELIST own = manager.GetImageList();
  EXPECT_EQ(ImageList_GetImageCount(own), 3);
  EXPECT_EQ(DrawnColour(own, 0), SystemColour(9));
  EXPECT_EQ(DrawnColour(own, 1), SystemColour(20));
  EXPECT_EQ(DrawnColour(own, 2), SystemColour(3));

  // The icons taken from the system list were destroyed once each and are
  // not known by their handles.
  ASSERT_EQ(spy::Calls().destroyed.size(), 3u);
  for (HICON taken : spy::Calls().destroyed) {
    EXPECT_EQ(spy::DestroyCount(taken), 1);
    EXPECT_EQ(manager.FindIcon(taken), -1);
  }
}

TEST_F(IconManagerTest, TheSystemsOwnListGivesItsIcons) {
  const INT index = manager.GetSystemIconIndex(1);
  EXPECT_EQ(index, 0);
  EXPECT_EQ(manager.GetSystemIconIndex(1), 0);
  EXPECT_NE(DrawnColour(list, index), RGB(255, 255, 255));
}

TEST_F(IconManagerTest, AFileWithoutThatIconThrowsFileErrorAndDestroysNothing) {
  const std::string note = icontest::CopyProgramIcon("document.ico", folder, "note.ico");
  struct Case {
    const char* what;
    const char* file;
    INT number;
    int extractions;
  };
  const std::string missing = folder + "/missing.ico";
  const Case cases[] = {
      {"a missing file", missing.c_str(), 0, 1},
      {"a number the file lacks", note.c_str(), 3, 1},
      // -1 asks ExtractIconA for a count, which is no icon handle.
      {"the count request", note.c_str(), -1, 0},
      {"no file", nullptr, 0, 0},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.what);
    spy::Reset();
    for (int attempt = 1; attempt <= 2; ++attempt) {  // a failure is not remembered
      ExpectError([&] { manager.GetFileIconIndex(test.file, test.number); }, "File error",
                  "Unable to extract an icon from a file.");
      EXPECT_EQ(spy::Calls().extractCalls, attempt * test.extractions);
    }
    EXPECT_TRUE(spy::Calls().destroyed.empty());
    EXPECT_EQ(manager.FindKey(CIconManager::MakeKey(test.file, test.number)), -1);
  }
  EXPECT_EQ(Count(), 0);

  // The error left the lock behind: another thread gets on.
  INT index = -1;
  std::thread other([&] { index = manager.GetFileIconIndex(note.c_str(), 0); });
  other.join();
  EXPECT_EQ(index, 0);
}

TEST(IconManagerErrors, AnIconThatCannotBeAddedIsDestroyedOnce) {
  CIconManager manager;
  manager.Init(MakeSystemList());
  const std::string note = icontest::CopyProgramIcon("document.ico", twltest::MakeTempDir("icons"), "note.ico");
  const char* addError = "Unable to add icon to image list.";

  spy::Reset();
  spy::Calls().failAdds = 1;
  ExpectError([&] { manager.GetFileIconIndex(note.c_str(), 0); }, "ImageList error", addError);
  ASSERT_EQ(spy::Calls().extracted.size(), 1u);
  EXPECT_EQ(spy::Calls().destroyed, std::vector<HICON>{spy::Calls().extracted[0]});
  EXPECT_EQ(manager.FindKey((note + ",0").c_str()), -1);

  spy::Reset();
  spy::Calls().failAdds = 1;
  ExpectError([&] { manager.GetSystemIconIndex(4); }, "ImageList error", addError);
  EXPECT_EQ(spy::Calls().destroyed.size(), 1u);
  EXPECT_EQ(manager.FindSystemIcon(4), -1);

  // The caller's own icon stays the caller's.
  HICON red = SolidIcon(RGB(255, 0, 0));
  spy::Reset();
  spy::Calls().failAdds = 1;
  ExpectError([&] { manager.GetIconIndex(red); }, "ImageList error", addError);
  EXPECT_TRUE(spy::Calls().destroyed.empty());
  EXPECT_EQ(manager.FindIcon(red), -1);

  EXPECT_EQ(ImageList_GetImageCount(manager.GetImageList()), 0);
  EXPECT_EQ(manager.GetFileIconIndex(note.c_str(), 0), 0);
  EXPECT_EQ(manager.GetSystemIconIndex(4), 1);
  EXPECT_EQ(manager.GetIconIndex(red), 2);
  DestroyIcon(red);
}

TEST_F(IconManagerTest, ASystemIndexTheListLacksThrowsGetIconError) {
  for (INT systemIndex : {5000, -3}) {
    SCOPED_TRACE(systemIndex);
    ExpectError([&] { manager.GetSystemIconIndex(systemIndex); }, "ImageList error",
                "Error extracting an icon from an image list.");
    EXPECT_EQ(manager.FindSystemIcon(systemIndex), -1);
  }
  EXPECT_TRUE(spy::Calls().destroyed.empty());
  EXPECT_EQ(Count(), 0);
}

TEST(IconManagerErrors, AddingBeforeInitThrowsAddError) {
  CIconManager manager;
  HICON red = SolidIcon(RGB(255, 0, 0));
  ExpectError([&] { manager.GetIconIndex(red); }, "ImageList error", "Unable to add icon to image list.");
  ExpectError([&] { manager.GetSystemIconIndex(0); }, "ImageList error",
              "Error extracting an icon from an image list.");
  DestroyIcon(red);
}

TEST_F(IconManagerTest, ConcurrentRequestsAddEachIconOnce) {
  std::vector<HICON> icons;
  for (int i = 0; i < 8; ++i) icons.push_back(SolidIcon(RGB(i * 30, 0, 0)));
  constexpr int kThreads = 4;
  std::vector<std::vector<INT>> answers(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      std::vector<HICON> order = icons;
      std::rotate(order.begin(), order.begin() + t * 2, order.end());  // each thread starts elsewhere
      for (int round = 0; round < 50; ++round) {
        for (HICON icon : order) manager.GetIconIndex(icon);
      }
      for (HICON icon : icons) answers[t].push_back(manager.FindIcon(icon));
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(Count(), 8);
  for (int t = 1; t < kThreads; ++t) EXPECT_EQ(answers[t], answers[0]);
  std::vector<INT> sorted = answers[0];
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(sorted, (std::vector<INT>{0, 1, 2, 3, 4, 5, 6, 7}));
  for (HICON icon : icons) DestroyIcon(icon);
}

}  // namespace
