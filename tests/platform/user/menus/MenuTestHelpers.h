// Building menus item by item and reading them back, for the menu tests.
#pragma once

#include <twlwin/testing_desktop.h>
#include <windows.h>

#include <string>

namespace menutest {

struct ItemSpec {
  UINT id = 0;
  const char* text = "";
  UINT state = 0;
  UINT type = MFT_STRING;
  HMENU submenu = nullptr;
  ULONG_PTR data = 0;
};

// Appends an item the way the programs do: by position at the item count.
inline BOOL Append(HMENU menu, const ItemSpec& item) {
  MENUITEMINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_ID | MIIM_TYPE | MIIM_STATE | MIIM_DATA | (item.submenu ? MIIM_SUBMENU : 0);
  info.fType = item.type;
  info.fState = item.state;
  info.wID = item.id;
  info.hSubMenu = item.submenu;
  info.dwItemData = item.data;
  info.dwTypeData = const_cast<LPSTR>(item.text);
  return InsertMenuItemA(menu, static_cast<UINT>(GetMenuItemCount(menu)), TRUE, &info);
}

inline BOOL AppendSeparator(HMENU menu) { return Append(menu, ItemSpec{0, "", 0, MFT_SEPARATOR}); }

inline std::string Describe(HMENU menu) {
  char text[4096];
  TwlTestDescribeMenu(menu, text, sizeof text);
  return text;
}

// A menu with a submenu:
//   10 Play
//   20 Volume >
//     21 Loud (radio, checked)
//     22 Quiet (radio)
//     23 Mute (disabled)
//   -
//   30 Exit
struct PlayMenu {
  PlayMenu() {
    volume = CreatePopupMenu();
    Append(volume, {21, "Loud", MFS_CHECKED, MFT_RADIOCHECK});
    Append(volume, {22, "Quiet", 0, MFT_RADIOCHECK});
    Append(volume, {23, "Mute", MFS_DISABLED});
    root = CreatePopupMenu();
    Append(root, {10, "Play"});
    Append(root, {20, "Volume", 0, MFT_STRING, volume});
    AppendSeparator(root);
    Append(root, {30, "Exit"});
  }
  ~PlayMenu() { DestroyMenu(root); }
  HMENU root = nullptr;
  HMENU volume = nullptr;
};

}  // namespace menutest
