// Help: the WM_HELP record a window sends its parent, and opening help
// files with the desktop's help viewer (xdg-open). Without a desktop
// (twlwin/testing_desktop.h) the help calls open nothing and are only
// recorded. Any thread.
#pragma once

#include "types.h"

#define HELPINFO_WINDOW 0x0001
#define HELPINFO_MENUITEM 0x0002

// lParam of WM_HELP, valid for the duration of the send. DefWindowProcA
// passes WM_HELP on to the parent of a child window.
typedef struct tagHELPINFO {
  UINT cbSize;
  int iContextType;
  int iCtrlId;
  HANDLE hItemHandle;
  DWORD_PTR dwContextId;
  POINT MousePos;
} HELPINFO, *LPHELPINFO;

#define HELP_CONTEXT 0x0001L
#define HELP_QUIT 0x0002L
#define HELP_INDEX 0x0003L
#define HELP_CONTENTS 0x0003L
#define HELP_FINDER 0x000BL

// Opens the help file; HELP_QUIT only answers TRUE. FALSE (with
// ERROR_FILE_NOT_FOUND) for a missing file or when it cannot be opened.
TWLAPI BOOL WinHelpA(HWND window, LPCSTR file, UINT command, ULONG_PTR data);

#define HH_DISPLAY_TOPIC 0x0000
#define HH_HELP_FINDER 0x0000
#define HH_DISPLAY_TOC 0x0001
#define HH_DISPLAY_INDEX 0x0002
#define HH_DISPLAY_SEARCH 0x0003
#define HH_CLOSE_ALL 0x0012

// Opens the compiled help file named before any "::" (a topic) or ">" (a
// window name), relative to the current folder. The viewer is another
// program, so the answer on success is the desktop window; null for a
// missing file, a file that cannot be opened, or HH_CLOSE_ALL.
TWLAPI HWND HtmlHelpA(HWND caller, LPCSTR file, UINT command, DWORD_PTR data);
