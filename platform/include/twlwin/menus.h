// Menus: pop-up menus and window system menus kept as data (items with
// texts, ids, check and radio marks, disabled states, separators, item data
// and submenus). Showing one (TrackPopupMenu) is the presenter's job: on a
// desktop a real menu, headless the answer the testing header scripts
// (twlwin/testing_desktop.h). A chosen item is posted to the owner window
// as WM_COMMAND (high word 0) or, for a system menu, WM_SYSCOMMAND; with
// TPM_RETURNCMD it is returned instead. Any thread may build, change and
// destroy any menu; one menu is shown at a time.
#pragma once

#include "types.h"

#define MIIM_STATE 0x00000001
#define MIIM_ID 0x00000002
#define MIIM_SUBMENU 0x00000004
#define MIIM_CHECKMARKS 0x00000008
#define MIIM_TYPE 0x00000010
#define MIIM_DATA 0x00000020
#define MIIM_STRING 0x00000040
#define MIIM_BITMAP 0x00000080
#define MIIM_FTYPE 0x00000100

#define MFT_STRING 0x00000000L
#define MFT_BITMAP 0x00000004L
#define MFT_MENUBARBREAK 0x00000020L
#define MFT_MENUBREAK 0x00000040L
#define MFT_OWNERDRAW 0x00000100L
#define MFT_RADIOCHECK 0x00000200L
#define MFT_SEPARATOR 0x00000800L
#define MFT_RIGHTORDER 0x00002000L
#define MFT_RIGHTJUSTIFY 0x00004000L

#define MFS_ENABLED 0x00000000L
#define MFS_UNCHECKED 0x00000000L
#define MFS_GRAYED 0x00000003L
#define MFS_DISABLED MFS_GRAYED
#define MFS_CHECKED 0x00000008L
#define MFS_HILITE 0x00000080L
#define MFS_DEFAULT 0x00001000L

#define MF_BYCOMMAND 0x00000000L
#define MF_BYPOSITION 0x00000400L

// Bitmaps the system draws for an item (hbmpItem).
#define HBMMENU_CALLBACK (reinterpret_cast<HBITMAP>(static_cast<LONG_PTR>(-1)))
#define HBMMENU_SYSTEM (reinterpret_cast<HBITMAP>(1))
#define HBMMENU_POPUP_CLOSE (reinterpret_cast<HBITMAP>(8))
#define HBMMENU_POPUP_RESTORE (reinterpret_cast<HBITMAP>(9))
#define HBMMENU_POPUP_MAXIMIZE (reinterpret_cast<HBITMAP>(10))
#define HBMMENU_POPUP_MINIMIZE (reinterpret_cast<HBITMAP>(11))

#define TPM_LEFTBUTTON 0x0000L
#define TPM_RIGHTBUTTON 0x0002L
#define TPM_LEFTALIGN 0x0000L
#define TPM_CENTERALIGN 0x0004L
#define TPM_RIGHTALIGN 0x0008L
#define TPM_TOPALIGN 0x0000L
#define TPM_VCENTERALIGN 0x0010L
#define TPM_BOTTOMALIGN 0x0020L
#define TPM_NONOTIFY 0x0080L
#define TPM_RETURNCMD 0x0100L

#ifndef ERROR_INVALID_MENU_HANDLE
#define ERROR_INVALID_MENU_HANDLE 1401L
#endif
#define ERROR_POPUP_ALREADY_ACTIVE 1446L
#define ERROR_MENU_ITEM_NOT_FOUND 1456L

// cbSize is sizeof(MENUITEMINFOA), or MENUITEMINFOA_SIZE_WITHOUT_BITMAP for
// the older form that ends before hbmpItem (MIIM_BITMAP is then refused).
// Any other size is refused, the 44 bytes of the 32-bit record included:
// here the handles and pointers are 8 bytes wide and the record is 80
// bytes, so a record that claims 44 cannot have this layout. Callers fill
// in sizeof(MENUITEMINFOA), never a written-out number.
typedef struct tagMENUITEMINFOA {
  UINT cbSize;
  UINT fMask;
  UINT fType;
  UINT fState;
  UINT wID;
  HMENU hSubMenu;
  HBITMAP hbmpChecked;
  HBITMAP hbmpUnchecked;
  ULONG_PTR dwItemData;
  LPSTR dwTypeData;
  UINT cch;
  HBITMAP hbmpItem;
} MENUITEMINFOA, *LPMENUITEMINFOA;
typedef const MENUITEMINFOA* LPCMENUITEMINFOA;
#define MENUITEMINFOA_SIZE_WITHOUT_BITMAP (offsetof(MENUITEMINFOA, hbmpItem))

TWLAPI HMENU CreateMenu();
TWLAPI HMENU CreatePopupMenu();
// Destroys the menu and, with it, every submenu its items hold.
TWLAPI BOOL DestroyMenu(HMENU menu);
TWLAPI BOOL IsMenu(HMENU menu);
TWLAPI int GetMenuItemCount(HMENU menu);

// `item` is a position (byPosition TRUE) or a command id. Inserting by a
// position past the end, or by an id no item has, appends. An id is looked
// for in the submenus too. A submenu cannot hold a menu that holds it.
TWLAPI BOOL InsertMenuItemA(HMENU menu, UINT item, BOOL byPosition, LPCMENUITEMINFOA info);
// With MIIM_STRING or MIIM_TYPE, dwTypeData receives up to cch - 1 bytes of
// the text (a UTF-8 character is never split) and cch the bytes copied;
// with a null dwTypeData, cch receives the text's length.
TWLAPI BOOL GetMenuItemInfoA(HMENU menu, UINT item, BOOL byPosition, LPMENUITEMINFOA info);
TWLAPI BOOL SetMenuItemInfoA(HMENU menu, UINT item, BOOL byPosition, LPCMENUITEMINFOA info);
// The item's text cut to size - 1 bytes; the bytes copied, or the text's
// length when buffer is null. flags is MF_BYCOMMAND or MF_BYPOSITION.
TWLAPI int GetMenuStringA(HMENU menu, UINT item, LPSTR buffer, int size, UINT flags);
// Removes the item and destroys its submenu.
TWLAPI BOOL DeleteMenu(HMENU menu, UINT item, UINT flags);

// The window's own copy of the system menu (Restore, Move, Size, Minimize,
// Maximize, a separator and Close, the ones the window's style and state
// do not allow disabled), made on first use; revert TRUE goes back to the
// standard menu and answers null. Null for a window without WS_SYSMENU.
TWLAPI HMENU GetSystemMenu(HWND window, BOOL revert);

// Shows the menu at screen point x, y for `owner`. Without TPM_RETURNCMD:
// TRUE when shown (chosen or not), FALSE on failure. With it: the chosen
// id, 0 when dismissed or failed. reserved and rect are not used.
TWLAPI BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int reserved, HWND owner, const RECT* rect);
