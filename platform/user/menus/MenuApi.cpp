// The menu calls over the menu model.
#include "MenuModel.h"
#include "twlwin/errors.h"

using namespace twl::user::menus;

TWLAPI HMENU CreateMenu() { return Create(false); }

TWLAPI HMENU CreatePopupMenu() { return Create(true); }

TWLAPI BOOL DestroyMenu(HMENU menu) { return Destroy(menu); }

TWLAPI BOOL IsMenu(HMENU menu) { return Exists(menu); }

TWLAPI int GetMenuItemCount(HMENU menu) { return Count(menu); }

TWLAPI BOOL InsertMenuItemA(HMENU menu, UINT item, BOOL byPosition, LPCMENUITEMINFOA info) {
  if (!info) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return Insert(menu, item, byPosition != FALSE, *info);
}

TWLAPI BOOL GetMenuItemInfoA(HMENU menu, UINT item, BOOL byPosition, LPMENUITEMINFOA info) {
  if (!info) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return GetInfo(menu, item, byPosition != FALSE, *info);
}

TWLAPI BOOL SetMenuItemInfoA(HMENU menu, UINT item, BOOL byPosition, LPCMENUITEMINFOA info) {
  if (!info) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return SetInfo(menu, item, byPosition != FALSE, *info);
}

TWLAPI int GetMenuStringA(HMENU menu, UINT item, LPSTR buffer, int size, UINT flags) {
  MENUITEMINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_STRING;
  info.dwTypeData = size > 0 ? buffer : nullptr;
  info.cch = size > 0 ? static_cast<UINT>(size) : 0;
  if (!GetInfo(menu, item, (flags & MF_BYPOSITION) != 0, info)) return 0;
  return static_cast<int>(info.cch);
}

TWLAPI BOOL DeleteMenu(HMENU menu, UINT item, UINT flags) { return Delete(menu, item, (flags & MF_BYPOSITION) != 0); }
