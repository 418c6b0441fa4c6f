// Shell: file icons from the system image list, icons from program files,
// and the notification-area (tray) icons, kept as a model that the
// presenter shows and tests read. Thread-safe.
#pragma once

#include "commctrl.h"


#define SHGFI_ICON 0x000000100
#define SHGFI_DISPLAYNAME 0x000000200
#define SHGFI_TYPENAME 0x000000400
#define SHGFI_SYSICONINDEX 0x000004000
#define SHGFI_LARGEICON 0x000000000
#define SHGFI_SMALLICON 0x000000001
#define SHGFI_OPENICON 0x000000002
#define SHGFI_USEFILEATTRIBUTES 0x000000010

typedef struct _SHFILEINFOA {
  HICON hIcon;
  int iIcon;
  DWORD dwAttributes;
  CHAR szDisplayName[MAX_PATH];
  CHAR szTypeName[80];
} SHFILEINFOA;

// Icons are generic ones by kind: drive, folder, and documents by file
// type. With SHGFI_SYSICONINDEX the result is the system image list
// (16 x 16 with SHGFI_SMALLICON, else 32 x 32) and iIcon the icon's index,
// the same for every call. Without SHGFI_USEFILEATTRIBUTES the path must
// exist (drive roots such as "C:\" always do). 0 on failure.
TWLAPI DWORD_PTR SHGetFileInfoA(LPCSTR path, DWORD attributes, SHFILEINFOA* info, UINT size, UINT flags);

// The icon number `index` of a program or library file's own icons; null
// when there is none. The caller destroys the icon.
TWLAPI HICON ExtractIconA(HINSTANCE instance, LPCSTR file, UINT index);

// The shell hears of a change. With SHCNE_ASSOCCHANGED the file types and
// extensions of the classes root are handed to the desktop: a desktop file
// per type with verbs, and the default applications of the MIME types of
// its extensions (see platform/shell/AssociationExport.cpp).
#define SHCNE_ASSOCCHANGED 0x08000000L
#define SHCNF_IDLIST 0x0000
TWLAPI void SHChangeNotify(LONG eventId, UINT flags, LPCVOID item1, LPCVOID item2);

#define NIM_ADD 0x00000000
#define NIM_MODIFY 0x00000001
#define NIM_DELETE 0x00000002
#define NIF_MESSAGE 0x00000001
#define NIF_ICON 0x00000002
#define NIF_TIP 0x00000004

typedef struct _NOTIFYICONDATAA {
  DWORD cbSize;
  HWND hWnd;
  UINT uID;
  UINT uFlags;
  UINT uCallbackMessage;
  HICON hIcon;
  CHAR szTip[64];
} NOTIFYICONDATAA, *PNOTIFYICONDATAA;

// The size Windows programs store in cbSize (the first layout of the
// record); it is accepted besides sizeof(NOTIFYICONDATAA).
#define NOTIFYICONDATAA_V1_SIZE 88

// Icons are told apart by window and id. NIM_ADD of an existing icon and
// NIM_MODIFY or NIM_DELETE of a missing one fail. The tip is cut to 63
// characters.
TWLAPI BOOL Shell_NotifyIconA(DWORD message, PNOTIFYICONDATAA data);

// --- Files dropped on a window ---
// A window with WS_EX_ACCEPTFILES gets WM_DROPFILES with the drop in
// wParam. The drop belongs to the receiver, which frees it with DragFinish.
TWL_DECLARE_HANDLE(HDROP);

// index 0xFFFFFFFF: the number of files. Otherwise the length of the name
// of file `index` (0 when there is none) with a null buffer, else the bytes
// copied: at most size - 1 (a UTF-8 character is never split), terminated.
TWLAPI UINT DragQueryFileA(HDROP drop, UINT index, LPSTR buffer, UINT size);
TWLAPI void DragFinish(HDROP drop);

// --- Opening files and web pages with the programs the desktop chooses ---
#define SE_ERR_FNF 2
#define SE_ERR_PNF 3
#define SE_ERR_ACCESSDENIED 5
#define SE_ERR_OOM 8
#define SE_ERR_ASSOCINCOMPLETE 27
#define SE_ERR_NOASSOC 31

// The operations "open" and "explore" (and none, which means "open") open
// a file, a folder or a URL (xdg-open); a relative file is taken in
// `directory`. Answers a value above 32 on success, else an SE_ERR_ code:
// SE_ERR_FNF for a missing file, SE_ERR_NOASSOC for another operation or
// when the desktop has no program for the file's type. Parameters and the
// show command are not used. Without a desktop (twlwin/testing_desktop.h)
// nothing is opened and the call is only recorded.
TWLAPI HINSTANCE ShellExecuteA(HWND window, LPCSTR operation, LPCSTR file, LPCSTR parameters, LPCSTR directory,
                               INT showCommand);

// The arguments of a command line as the layer splits its own (blanks and
// tabs outside double quotes separate, "" inside quotes is a quote,
// backslashes before a quote escape it; the first argument is the program
// and runs to the next blank or closing quote). One block holding the
// pointers and the texts, freed with LocalFree; null for a null line or
// count, or without memory.
TWLAPI LPWSTR* CommandLineToArgvW(LPCWSTR commandLine, int* count);
