// Menus as data: what items keep, where insertions land, what the buffers
// get back, and that no menu structure or record can break the model.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "MenuTestHelpers.h"

using namespace menutest;

TEST(MenuModel, ItemsKeepWhatTheyWereGiven) {
  PlayMenu menu;
  EXPECT_EQ(Describe(menu.root),
            "10 Play\n"
            "20 Volume >\n"
            "  21 Loud (radio, checked)\n"
            "  22 Quiet (radio)\n"
            "  23 Mute (disabled)\n"
            "-\n"
            "30 Exit\n");
  EXPECT_EQ(GetMenuItemCount(menu.root), 4);
  EXPECT_EQ(GetMenuItemCount(menu.volume), 3);

  char text[64] = {};
  MENUITEMINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_ID | MIIM_SUBMENU | MIIM_TYPE | MIIM_STATE | MIIM_DATA;
  info.dwTypeData = text;
  info.cch = sizeof text;
  ASSERT_TRUE(GetMenuItemInfoA(menu.root, 1, TRUE, &info));
  EXPECT_EQ(info.wID, 20u);
  EXPECT_EQ(info.hSubMenu, menu.volume);
  EXPECT_STREQ(text, "Volume");
  EXPECT_EQ(info.cch, 6u);

  info.dwTypeData = text;
  info.cch = sizeof text;
  ASSERT_TRUE(GetMenuItemInfoA(menu.root, 21, FALSE, &info)) << "found by command in the submenu";
  EXPECT_EQ(info.fType, static_cast<UINT>(MFT_RADIOCHECK));
  EXPECT_EQ(info.fState, static_cast<UINT>(MFS_CHECKED));
  EXPECT_EQ(info.hSubMenu, nullptr);

  info.dwTypeData = text;
  info.cch = sizeof text;
  ASSERT_TRUE(GetMenuItemInfoA(menu.root, 2, TRUE, &info));
  EXPECT_EQ(info.fType, static_cast<UINT>(MFT_SEPARATOR));
  EXPECT_EQ(info.cch, 0u);
}

TEST(MenuModel, ItemDataAndBitmapsComeBack) {
  HMENU menu = CreatePopupMenu();
  MENUITEMINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_ID | MIIM_STRING | MIIM_BITMAP | MIIM_DATA | MIIM_FTYPE;
  info.fType = MFT_RADIOCHECK;
  info.wID = 1000;
  info.dwTypeData = const_cast<LPSTR>("Minimize");
  info.hbmpItem = HBMMENU_POPUP_MINIMIZE;
  info.dwItemData = static_cast<ULONG_PTR>(0x1234567890ull);
  ASSERT_TRUE(InsertMenuItemA(menu, 0, TRUE, &info));

  MENUITEMINFOA back{};
  back.cbSize = sizeof back;
  back.fMask = MIIM_BITMAP | MIIM_DATA | MIIM_FTYPE | MIIM_ID;
  ASSERT_TRUE(GetMenuItemInfoA(menu, 1000, FALSE, &back));
  EXPECT_EQ(back.hbmpItem, HBMMENU_POPUP_MINIMIZE);
  EXPECT_EQ(back.dwItemData, static_cast<ULONG_PTR>(0x1234567890ull)) << "item data is pointer-sized";
  EXPECT_EQ(back.fType, static_cast<UINT>(MFT_RADIOCHECK));
  DestroyMenu(menu);
}

TEST(MenuModel, TextCopiesFollowTheBufferRules) {
  HMENU menu = CreatePopupMenu();
  Append(menu, {1, "Gr\xC3\xBC\xC3\x9F" "e"});  // "Grüße": seven bytes
  const struct {
    const char* behaviour;
    bool buffer;
    UINT cch;
    const char* text;
    UINT answeredCch;
  } cases[] = {
      {"a null buffer asks for the length", false, 50, "", 7},
      {"a zero size asks for the length", true, 0, "", 7},
      {"a large buffer gets all", true, 50, "Gr\xC3\xBC\xC3\x9F" "e", 7},
      {"the exact size leaves room for the zero", true, 7, "Gr\xC3\xBC\xC3\x9F", 6},
      {"a cut never splits a character", true, 4, "Gr", 2},
      {"one byte holds only the zero", true, 1, "", 0},
  };
  for (const auto& c : cases) {
    char text[64];
    std::memset(text, 'x', sizeof text);
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STRING;
    info.dwTypeData = c.buffer ? text : nullptr;
    info.cch = c.cch;
    ASSERT_TRUE(GetMenuItemInfoA(menu, 0, TRUE, &info)) << c.behaviour;
    EXPECT_EQ(info.cch, c.answeredCch) << c.behaviour;
    if (c.buffer && c.cch > 0) {
      EXPECT_STREQ(text, c.text) << c.behaviour;
    }
    if (c.buffer && c.cch == 0) {
      EXPECT_EQ(text[0], 'x') << c.behaviour;
    }
  }

  char text[8];
  EXPECT_EQ(GetMenuStringA(menu, 1, nullptr, 0, MF_BYCOMMAND), 7);
  EXPECT_EQ(GetMenuStringA(menu, 0, text, 5, MF_BYPOSITION), 4);
  EXPECT_STREQ(text, "Gr\xC3\xBC");
  EXPECT_EQ(GetMenuStringA(menu, 99, text, sizeof text, MF_BYCOMMAND), 0);
  DestroyMenu(menu);
}

TEST(MenuModel, InsertionsLandWhereTheyAreAskedFor) {
  PlayMenu menu;
  MENUITEMINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_ID | MIIM_STRING;
  const struct {
    const char* behaviour;
    UINT item;
    BOOL byPosition;
    UINT id;
  } cases[] = {
      {"at a position", 1, TRUE, 11},
      {"past the end appends", 99, TRUE, 31},
      {"before the item with an id", 30, FALSE, 29},
      {"before an item of a submenu", 22, FALSE, 215},
      {"with an id nobody has, appended", 777, FALSE, 32},
  };
  for (const auto& c : cases) {
    info.wID = c.id;
    info.dwTypeData = const_cast<LPSTR>("x");
    ASSERT_TRUE(InsertMenuItemA(menu.root, c.item, c.byPosition, &info)) << c.behaviour;
  }
  EXPECT_EQ(Describe(menu.root),
            "10 Play\n"
            "11 x\n"
            "20 Volume >\n"
            "  21 Loud (radio, checked)\n"
            "  215 x\n"
            "  22 Quiet (radio)\n"
            "  23 Mute (disabled)\n"
            "-\n"
            "29 x\n"
            "30 Exit\n"
            "31 x\n"
            "32 x\n");
}

TEST(MenuModel, SetItemInfoChangesOnlyTheNamedFields) {
  PlayMenu menu;
  MENUITEMINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_ID;  // numbering items by position, as the file-object menus do
  info.wID = 7;
  ASSERT_TRUE(SetMenuItemInfoA(menu.root, 0, TRUE, &info));
  info.fMask = MIIM_STATE;
  info.fState = MFS_CHECKED | MFS_DISABLED;
  ASSERT_TRUE(SetMenuItemInfoA(menu.root, 30, FALSE, &info));
  EXPECT_EQ(Describe(menu.root).substr(0, 7), "7 Play\n");
  EXPECT_NE(Describe(menu.root).find("30 Exit (checked, disabled)"), std::string::npos);
  info.fMask = MIIM_ID;
  EXPECT_FALSE(SetMenuItemInfoA(menu.root, 12345, FALSE, &info));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MENU_ITEM_NOT_FOUND));
}

TEST(MenuModel, DeletingAnItemDestroysItsSubmenu) {
  PlayMenu menu;
  ASSERT_TRUE(DeleteMenu(menu.root, 20, MF_BYCOMMAND));
  EXPECT_FALSE(IsMenu(menu.volume));
  ASSERT_TRUE(DeleteMenu(menu.root, 0, MF_BYPOSITION));
  EXPECT_EQ(Describe(menu.root), "-\n30 Exit\n");
  EXPECT_FALSE(DeleteMenu(menu.root, 5, MF_BYPOSITION));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MENU_ITEM_NOT_FOUND));
}

TEST(MenuModel, DestroyingAMenuDestroysItsSubmenusAndLeavesNothingUsable) {
  HMENU root = nullptr;
  HMENU volume = nullptr;
  {
    PlayMenu menu;
    root = menu.root;
    volume = menu.volume;
  }
  EXPECT_FALSE(IsMenu(root));
  EXPECT_FALSE(IsMenu(volume));
  // The submenu destroyed with its popup and then again by the code that
  // made it: an error, nothing more.
  EXPECT_FALSE(DestroyMenu(volume));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_MENU_HANDLE));
  EXPECT_EQ(GetMenuItemCount(root), -1);
  MENUITEMINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_ID;
  EXPECT_FALSE(InsertMenuItemA(root, 0, TRUE, &info));
  EXPECT_FALSE(GetMenuItemInfoA(root, 0, TRUE, &info));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_MENU_HANDLE));
}

TEST(MenuModel, RefusesRecordsItCannotRead) {
  HMENU menu = CreatePopupMenu();
  HMENU other = CreatePopupMenu();
  Append(menu, {1, "one"});
  const struct {
    const char* behaviour;
    UINT cbSize;
    UINT mask;
    HMENU submenu;
    DWORD error;
  } cases[] = {
      {"a size of no known layout", 44, MIIM_ID, nullptr, ERROR_INVALID_PARAMETER},
      {"an unknown mask bit", sizeof(MENUITEMINFOA), MIIM_ID | 0x8000, nullptr, ERROR_INVALID_PARAMETER},
      {"the old type field mixed with the new text field", sizeof(MENUITEMINFOA), MIIM_TYPE | MIIM_STRING, nullptr,
       ERROR_INVALID_PARAMETER},
      {"a bitmap in the layout without it", MENUITEMINFOA_SIZE_WITHOUT_BITMAP, MIIM_BITMAP, nullptr,
       ERROR_INVALID_PARAMETER},
      {"a submenu that does not exist", sizeof(MENUITEMINFOA), MIIM_SUBMENU,
       reinterpret_cast<HMENU>(static_cast<uintptr_t>(0x7FFFFF00)), ERROR_INVALID_MENU_HANDLE},
      {"the menu as its own submenu", sizeof(MENUITEMINFOA), MIIM_SUBMENU, menu, ERROR_INVALID_PARAMETER},
  };
  for (const auto& c : cases) {
    MENUITEMINFOA info{};
    info.cbSize = c.cbSize;
    info.fMask = c.mask;
    info.hSubMenu = c.submenu;
    info.dwTypeData = const_cast<LPSTR>("x");
    SetLastError(0);
    EXPECT_FALSE(InsertMenuItemA(menu, 0, TRUE, &info)) << c.behaviour;
    EXPECT_EQ(GetLastError(), c.error) << c.behaviour;
    EXPECT_FALSE(SetMenuItemInfoA(menu, 0, TRUE, &info)) << c.behaviour;
  }
  EXPECT_EQ(GetMenuItemCount(menu), 1);

  MENUITEMINFOA old{};
  old.cbSize = MENUITEMINFOA_SIZE_WITHOUT_BITMAP;
  old.fMask = MIIM_ID | MIIM_STRING;
  old.wID = 2;
  old.dwTypeData = const_cast<LPSTR>("older layout");
  EXPECT_TRUE(InsertMenuItemA(menu, 1, TRUE, &old));
  EXPECT_FALSE(InsertMenuItemA(menu, 0, TRUE, nullptr));
  DestroyMenu(menu);
  DestroyMenu(other);
}

TEST(MenuModel, NoSubmenuMayHoldAMenuThatHoldsIt) {
  HMENU top = CreatePopupMenu();
  HMENU middle = CreatePopupMenu();
  HMENU bottom = CreatePopupMenu();
  ASSERT_TRUE(Append(top, {1, "middle", 0, MFT_STRING, middle}));
  ASSERT_TRUE(Append(middle, {2, "bottom", 0, MFT_STRING, bottom}));
  EXPECT_FALSE(Append(bottom, {3, "top", 0, MFT_STRING, top}));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  Append(bottom, {4, "leaf"});
  MENUITEMINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_SUBMENU;
  info.hSubMenu = middle;
  EXPECT_FALSE(SetMenuItemInfoA(bottom, 0, TRUE, &info)) << "a cycle made by changing an item";
  // The same menu twice in one tree is no cycle.
  EXPECT_TRUE(Append(top, {5, "bottom again", 0, MFT_STRING, bottom}));
  DestroyMenu(top);
  EXPECT_FALSE(IsMenu(bottom));
}

TEST(MenuModel, DeeplyNestedMenusNeitherRecurseNorOverflow) {
  constexpr int kDepth = 100000;
  std::vector<HMENU> chain;
  chain.push_back(CreatePopupMenu());
  for (int i = 1; i < kDepth; ++i) {
    HMENU next = CreatePopupMenu();
    ASSERT_TRUE(Append(chain.back(), {static_cast<UINT>(i), "deeper", 0, MFT_STRING, next}));
    chain.push_back(next);
  }
  Append(chain.back(), {999999, "bottom"});
  MENUITEMINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_ID;
  EXPECT_TRUE(GetMenuItemInfoA(chain.front(), 999999, FALSE, &info));
  EXPECT_TRUE(DestroyMenu(chain.front()));
  EXPECT_FALSE(IsMenu(chain.back()));
}

TEST(MenuModel, InjectedFailuresHitTheCallTheTestNames) {
  TwlTestFailMenuCreation(1);
  HMENU first = CreatePopupMenu();
  HMENU second = CreateMenu();
  HMENU third = CreatePopupMenu();
  EXPECT_NE(first, nullptr);
  EXPECT_EQ(second, nullptr);
  EXPECT_NE(third, nullptr);

  TwlTestFailMenuInsertion(2);
  EXPECT_TRUE(Append(first, {1, "a"}));
  EXPECT_TRUE(Append(first, {2, "b"}));
  EXPECT_FALSE(Append(first, {3, "c"}));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
  EXPECT_TRUE(Append(first, {4, "d"}));
  EXPECT_EQ(Describe(first), "1 a\n2 b\n4 d\n");

  TwlTestFailMenuInsertion(0);
  TwlTestResetMenus();
  EXPECT_TRUE(Append(first, {5, "e"})) << "a reset cancels a pending failure";
  DestroyMenu(first);
  DestroyMenu(third);
}
