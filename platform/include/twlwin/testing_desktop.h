// Test controls of what a user does on the desktop around the windows:
// choosing from menus, dropping files from a file manager, the mouse
// cursor on show, and the programs the shell would open. Product code
// never includes this header. Thread-safe.
#pragma once

#include "types.h"

// --- Menus ---
// TrackPopupMenu takes the pushed answers in order; with none left it asks
// the script, and with no script the menu is dismissed. An id that names
// no item the user could choose (missing, disabled, a separator, one that
// opens a submenu) dismisses the menu instead, with a note on stderr.
TWLAPI void TwlTestPushMenuChoice(UINT id);  // 0 dismisses
TWLAPI void TwlTestPushMenuFailure();        // the track fails
// Answers an id, 0 to dismiss or -1 to fail. It runs on the tracking
// thread and may read the menu (GetMenuItemInfoA, TwlTestDescribeMenu).
typedef int (*TWL_MENU_SCRIPT)(HMENU menu, UINT flags, int x, int y, void* context);
TWLAPI void TwlTestSetMenuScript(TWL_MENU_SCRIPT script, void* context);
// After `skip` more calls that succeed, the next CreateMenu or
// CreatePopupMenu (InsertMenuItemA) fails once with ERROR_NOT_ENOUGH_MEMORY;
// a negative skip cancels.
TWLAPI void TwlTestFailMenuCreation(int skip);
TWLAPI void TwlTestFailMenuInsertion(int skip);
// Forgets answers, script, failures and the record of tracks.
TWLAPI void TwlTestResetMenus();

// Every track is recorded with the menu as it was shown.
typedef struct TWL_MENU_TRACK {
  UINT flags;
  POINT at;
  HWND owner;
  BOOL systemMenu;
  int answer;  // the id chosen, 0 when dismissed, -1 when the track failed
} TWL_MENU_TRACK;
TWLAPI int TwlTestMenuTrackCount();
// Copies the record of track `index` (0 = first) and the menu's text form;
// either pointer may be null.
TWLAPI BOOL TwlTestGetMenuTrack(int index, TWL_MENU_TRACK* track, LPSTR description, DWORD size);

// The text form of a menu: one item a line, submenus indented by two blanks
// under the item that opens them, "-" for a separator:
//   1001 &Play
//   1009 Change volume... >
//     1010 0 % (radio, checked)
//   -
//   1101 E&xit (disabled)
// Marks in brackets: radio, checked, disabled, default. Answers the length
// of the text; the buffer gets as much as fits, always terminated.
TWLAPI DWORD TwlTestDescribeMenu(HMENU menu, LPSTR buffer, DWORD size);

// Opens the window's system menu as a user does from its taskbar button:
// tracked like a pop-up menu at the cursor, the choice posted as
// WM_SYSCOMMAND. FALSE when the window has no system menu.
TWLAPI BOOL TwlTestOpenSystemMenu(HWND window);

// --- The mouse cursor ---
// What SetCursor set last (the arrow before any call), and ShowCursor's
// display counter (the cursor shows while it is 0 or more).
TWLAPI HCURSOR TwlTestGetCursor();
TWLAPI int TwlTestGetCursorShowCount();

// --- Files dropped from a file manager ---
// The window under the screen point, or its nearest ancestor, with
// WS_EX_ACCEPTFILES gets one WM_DROPFILES (posted) whose HDROP names the
// paths (UTF-8, as given). FALSE when no window there accepts files, the
// window there is disabled, or the list is empty.
TWLAPI BOOL TwlTestDropFiles(int x, int y, const LPCSTR* paths, int count);

// --- Programs the shell opens ---
// ShellExecuteA, WinHelpA and HtmlHelpA open nothing but only record what
// they were asked while recording is on: always when TWL_HEADLESS is set
// or no display is found, and when a test asks. Every call is recorded.
TWLAPI void TwlTestRecordShellLaunches(BOOL record);
// The next recorded launch answers `result` instead of succeeding: for
// ShellExecuteA the value itself (an SE_ERR_ code), WinHelpA and HtmlHelpA
// fail when it is 32 or less.
TWLAPI void TwlTestPushShellResult(INT_PTR result);

typedef struct TWL_SHELL_LAUNCH {
  char call[16];          // "ShellExecute", "WinHelp" or "HtmlHelp"
  char verb[32];          // ShellExecuteA's operation ("" for none); the help command as a number
  char target[1024];      // the file or URL; the help file as given
  char parameters[1024];  // ShellExecuteA's parameters
  char directory[1024];   // ShellExecuteA's folder
  UINT_PTR data;          // the help call's data
  INT_PTR result;         // what the call answered (help calls: 1 or 0)
  BOOL opened;            // something was started, not only recorded
} TWL_SHELL_LAUNCH;
TWLAPI int TwlTestShellLaunchCount();
TWLAPI BOOL TwlTestGetShellLaunch(int index, TWL_SHELL_LAUNCH* launch);
// Forgets the record and pushed results; recording goes back to its default.
TWLAPI void TwlTestResetShellLaunches();
