// Files dropped from a file manager: one WM_DROPFILES for the window that
// takes files, whose drop reads back every name exactly.
#include <gtest/gtest.h>
#include <twlwin/testing_desktop.h>
#include <windows.h>

#include <string>
#include <vector>

#include "platform/user/windows/Recorder.h"

using namespace usertest;

namespace {

struct DropScene {
  DropScene() {
    RegisterRecordingClass("DropWindow");
    accepting = MakeWindow("DropWindow", WS_POPUP | WS_VISIBLE, {0, 0, 200, 200}, nullptr, 0, WS_EX_ACCEPTFILES);
    child = MakeWindow("DropWindow", WS_CHILD | WS_VISIBLE, {20, 20, 80, 80}, accepting, 5);
    plain = MakeWindow("DropWindow", WS_POPUP | WS_VISIBLE, {300, 0, 500, 200});
    Pump();
    Recorder::Get().Clear();
  }
  HWND accepting, child, plain;
};

const char* const kPaths[] = {"/home/u/Music/a.mp3", "/home/u/My Music/b c.ogg", "/home/u/Gr\xC3\xBC\xC3\x9F" "e/\xE2\x99\xAB.wav"};

HDROP DropOf(const Event& e) { return reinterpret_cast<HDROP>(e.wParam); }

}  // namespace

TEST(FileDrop, ThreePathsReachTheAcceptingWindowAndReadBackExactly) {
  DropScene scene;
  ASSERT_TRUE(TwlTestDropFiles(50, 50, kPaths, 3)) << "over a child, its accepting parent takes the drop";
  Pump();
  auto drops = Recorder::Get().Of(WM_DROPFILES);
  ASSERT_EQ(drops.size(), 1u);
  EXPECT_EQ(drops[0].window, scene.accepting);
  HDROP drop = DropOf(drops[0]);
  EXPECT_EQ(DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0), 3u);
  for (UINT i = 0; i < 3; ++i) {
    const std::string expected = kPaths[i];
    EXPECT_EQ(DragQueryFileA(drop, i, nullptr, 0), expected.size()) << "the size needed, without the zero";
    std::vector<char> name(expected.size() + 1, 'x');
    EXPECT_EQ(DragQueryFileA(drop, i, name.data(), static_cast<UINT>(name.size())), expected.size());
    EXPECT_EQ(std::string(name.data()), expected);
  }
  EXPECT_EQ(DragQueryFileA(drop, 3, nullptr, 0), 0u) << "no fourth file";
  DragFinish(drop);
  EXPECT_EQ(DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0), 0u) << "a finished drop is gone";
}

TEST(FileDrop, ShortBuffersGetWholeCharacters) {
  DropScene scene;
  ASSERT_TRUE(TwlTestDropFiles(150, 150, kPaths, 3));
  Pump();
  HDROP drop = DropOf(Recorder::Get().Of(WM_DROPFILES).at(0));
  const struct {
    UINT size;
    const char* name;
  } cases[] = {{1, ""}, {11, "/home/u/Gr"}, {12, "/home/u/Gr"}, {13, "/home/u/Gr\xC3\xBC"}};
  for (const auto& c : cases) {
    char name[64];
    UINT copied = DragQueryFileA(drop, 2, name, c.size);
    EXPECT_STREQ(name, c.name) << c.size;
    EXPECT_EQ(copied, std::string(c.name).size()) << c.size;
  }
  DragFinish(drop);
}

TEST(FileDrop, NothingReachesAWindowThatTakesNoFiles) {
  DropScene scene;
  EXPECT_FALSE(TwlTestDropFiles(400, 100, kPaths, 3));
  EXPECT_FALSE(TwlTestDropFiles(900, 700, kPaths, 3)) << "the bare desktop";
  EnableWindow(scene.accepting, FALSE);
  EXPECT_FALSE(TwlTestDropFiles(150, 150, kPaths, 3)) << "a disabled window";
  EnableWindow(scene.accepting, TRUE);
  EXPECT_FALSE(TwlTestDropFiles(150, 150, kPaths, 0)) << "an empty list";
  Pump();
  EXPECT_TRUE(Recorder::Get().Of(WM_DROPFILES).empty());
}
