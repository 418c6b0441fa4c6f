#include "windows/main/MenuItems.h"

#include "app/ui/UserInterface.h"
#include "foundation/errors/LocalText.h"
#include "foundation/errors/ThreadErrorState.h"
#include "foundation/kernel/Error.h"

namespace mainwindow {

namespace {

[[noreturn]] void ThrowMenuError(const char* key, const char* defaultText) {
  ThrowError<CError>(LocalText("MenuError.Caption", "Menu error"), LocalText(key, defaultText));
}

void Insert(HMENU menu, MENUITEMINFOA& info) {
  info.cbSize = sizeof info;
  if (!InsertMenuItemA(menu, static_cast<UINT>(GetMenuItemCount(menu)), TRUE, &info))
    ThrowMenuError("MenuError.AddItem", "Unable to add menu item to popup menu");
}

}  // namespace

void AppendItem(HMENU menu, const MenuItem& item) {
  MENUITEMINFOA info{};
  info.fMask = MIIM_ID | MIIM_TYPE | MIIM_STATE | MIIM_DATA;
  info.fType = MFT_STRING | (item.radio ? MFT_RADIOCHECK : 0);
  info.fState = item.checked ? MFS_CHECKED : MFS_UNCHECKED;
  info.wID = item.id;
  info.dwItemData = item.data;
  info.dwTypeData = const_cast<char*>(item.text.c_str());
  info.cch = static_cast<UINT>(item.text.GetLength());
  Insert(menu, info);
}

void AppendSeparator(HMENU menu) {
  MENUITEMINFOA info{};
  info.fMask = MIIM_TYPE;
  info.fType = MFT_SEPARATOR;
  Insert(menu, info);
}

HMENU AppendSubmenu(HMENU menu, UINT id, const CStr& text) {
  HMENU submenu = CreatePopupMenu();
  if (!submenu) ThrowMenuError("MenuError.CreateMenu", "Unable to create menu.");
  MENUITEMINFOA info{};
  info.fMask = MIIM_ID | MIIM_TYPE | MIIM_SUBMENU;
  info.fType = MFT_STRING;
  info.wID = id;
  info.hSubMenu = submenu;
  info.dwTypeData = const_cast<char*>(text.c_str());
  info.cch = static_cast<UINT>(text.GetLength());
  try {
    Insert(menu, info);
  } catch (CError*) {
    DestroyMenu(submenu);
    throw;
  }
  return submenu;
}

HMENU BuildPopupMenu(const char* noMenuKey, const char* noMenuText, const std::function<void(HMENU)>& fill) {
  HMENU menu = CreatePopupMenu();
  if (!menu) {
    SetThreadError(THREAD_ERROR_GENERAL, 0, LocalText(noMenuKey, noMenuText).c_str());
    return nullptr;
  }
  try {
    fill(menu);
  } catch (CError* error) {
    StoreThreadError(error);
    DisposeError(error);
    DestroyMenu(menu);
    return nullptr;
  }
  return menu;
}

CStr WithKey(const CStr& text, const CStr& key) { return text + "\t[" + key + "]"; }

CStr WithAltKey(const CStr& text, char letter) {
  return WithKey(text, CUserInterface::GetKeyName(VK_MENU) + CStr::Format("+%c", letter));
}

}  // namespace mainwindow
