// Showing menus: the scripted answer becomes exactly one WM_COMMAND (or the
// id itself with TPM_RETURNCMD); what a user could not choose dismisses.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "MenuTestHelpers.h"
#include "platform/user/windows/Recorder.h"

using namespace menutest;
using namespace usertest;

namespace {

struct Owner {
  Owner() {
    RegisterRecordingClass("MenuOwner");
    window = MakeWindow("MenuOwner", WS_POPUP | WS_VISIBLE, {0, 0, 200, 100});
    Pump();
    Recorder::Get().Clear();
    TwlTestResetMenus();
  }
  ~Owner() { DestroyWindow(window); }
  std::vector<Event> Commands() {
    Pump();
    return Recorder::Get().Of(WM_COMMAND);
  }
  HWND window;
};

enum class Push { Choice, Failure, Nothing };

struct TrackCase {
  const char* name;
  Push push;
  UINT choice;
  UINT flags;
  int answer;          // what TrackPopupMenu answers
  UINT command;        // the id WM_COMMAND carries; 0: no WM_COMMAND
  int recordedAnswer;  // the track record's answer
};

void PrintTo(const TrackCase& c, std::ostream* out) { *out << c.name; }

const TrackCase kTrackCases[] = {
    {"ChoiceInASubmenuBecomesOneCommand", Push::Choice, 21, TPM_RIGHTBUTTON, TRUE, 21, 21},
    {"ChoiceAtTheTopBecomesOneCommand", Push::Choice, 30, 0, TRUE, 30, 30},
    {"DismissalSendsNothing", Push::Choice, 0, TPM_RIGHTBUTTON, TRUE, 0, 0},
    {"NoAnswerDismisses", Push::Nothing, 0, 0, TRUE, 0, 0},
    {"ReturnCommandAnswersTheIdWithoutAMessage", Push::Choice, 22, TPM_NONOTIFY | TPM_RETURNCMD, 22, 0, 22},
    {"ReturnCommandAnswersZeroOnDismissal", Push::Choice, 0, TPM_RETURNCMD, 0, 0, 0},
    {"ADisabledItemCannotBeChosen", Push::Choice, 23, 0, TRUE, 0, 0},
    {"AnItemOpeningASubmenuCannotBeChosen", Push::Choice, 20, TPM_RETURNCMD, 0, 0, 0},
    {"AnIdNoItemHasCannotBeChosen", Push::Choice, 99, 0, TRUE, 0, 0},
    {"AFailedTrackAnswersFalse", Push::Failure, 0, 0, FALSE, 0, -1},
    {"AFailedTrackWithReturnCommandAnswersZero", Push::Failure, 0, TPM_RETURNCMD, 0, 0, -1},
};

class Track : public testing::TestWithParam<TrackCase> {};

}  // namespace

TEST_P(Track, DeliversTheScriptedAnswer) {
  const TrackCase& c = GetParam();
  Owner owner;
  PlayMenu menu;
  if (c.push == Push::Choice) TwlTestPushMenuChoice(c.choice);
  if (c.push == Push::Failure) TwlTestPushMenuFailure();
  EXPECT_EQ(TrackPopupMenu(menu.root, c.flags, 50, 60, 0, owner.window, nullptr), c.answer);
  auto commands = owner.Commands();
  if (c.command) {
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].window, owner.window);
    EXPECT_EQ(LOWORD(commands[0].wParam), c.command);
    EXPECT_EQ(HIWORD(commands[0].wParam), 0) << "code 0: from a menu";
    EXPECT_EQ(commands[0].lParam, 0);
  } else {
    EXPECT_TRUE(commands.empty());
  }
  ASSERT_EQ(TwlTestMenuTrackCount(), 1);
  TWL_MENU_TRACK record{};
  char shown[512];
  ASSERT_TRUE(TwlTestGetMenuTrack(0, &record, shown, sizeof shown));
  EXPECT_EQ(record.answer, c.recordedAnswer);
  EXPECT_EQ(record.flags, c.flags);
  EXPECT_EQ(record.at.x, 50);
  EXPECT_EQ(record.at.y, 60);
  EXPECT_EQ(record.owner, owner.window);
  EXPECT_EQ(std::string(shown), Describe(menu.root));
}

INSTANTIATE_TEST_SUITE_P(Answers, Track, testing::ValuesIn(kTrackCases),
                         [](const auto& info) { return std::string(info.param.name); });

namespace {

// Chooses the item whose text is in the context, reading the menu shown.
int ChooseByText(HMENU menu, UINT, int, int, void* context) {
  const char* wanted = static_cast<const char*>(context);
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    char text[64];
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID | MIIM_STRING | MIIM_SUBMENU;
    info.dwTypeData = text;
    info.cch = sizeof text;
    GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &info);
    if (info.hSubMenu) {
      if (int found = ChooseByText(info.hSubMenu, 0, 0, 0, context)) return found;
    } else if (std::strcmp(text, wanted) == 0) {
      return static_cast<int>(info.wID);
    }
  }
  return 0;
}

int TrackAgain(HMENU menu, UINT, int, int, void* context) {
  HWND owner = static_cast<HWND>(context);
  SetLastError(0);
  EXPECT_FALSE(TrackPopupMenu(menu, TPM_RETURNCMD, 0, 0, 0, owner, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_POPUP_ALREADY_ACTIVE));
  return 10;
}

}  // namespace

TEST(MenuTrack, AScriptMayReadTheMenuToChoose) {
  Owner owner;
  PlayMenu menu;
  char wanted[] = "Quiet";
  TwlTestSetMenuScript(ChooseByText, wanted);
  EXPECT_EQ(TrackPopupMenu(menu.root, TPM_RETURNCMD, 0, 0, 0, owner.window, nullptr), 22);
  TwlTestPushMenuChoice(30);
  EXPECT_EQ(TrackPopupMenu(menu.root, TPM_RETURNCMD, 0, 0, 0, owner.window, nullptr), 30)
      << "pushed answers come before the script";
  TwlTestSetMenuScript([](HMENU, UINT, int, int, void*) { return -1; }, nullptr);
  EXPECT_FALSE(TrackPopupMenu(menu.root, 0, 0, 0, 0, owner.window, nullptr));
}

TEST(MenuTrack, OnlyOneMenuIsShownAtATime) {
  Owner owner;
  PlayMenu menu;
  TwlTestSetMenuScript(TrackAgain, owner.window);
  EXPECT_EQ(TrackPopupMenu(menu.root, TPM_RETURNCMD, 0, 0, 0, owner.window, nullptr), 10);
  TwlTestSetMenuScript(nullptr, nullptr);
  TwlTestPushMenuChoice(30);
  EXPECT_EQ(TrackPopupMenu(menu.root, TPM_RETURNCMD, 0, 0, 0, owner.window, nullptr), 30) << "free again";
}

TEST(MenuTrack, RefusesAMissingMenuOrOwner) {
  Owner owner;
  PlayMenu menu;
  HMENU gone = CreatePopupMenu();
  DestroyMenu(gone);
  EXPECT_FALSE(TrackPopupMenu(gone, 0, 0, 0, 0, owner.window, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_MENU_HANDLE));
  EXPECT_FALSE(TrackPopupMenu(menu.root, 0, 0, 0, 0, nullptr, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
  EXPECT_EQ(TwlTestMenuTrackCount(), 0);
}
